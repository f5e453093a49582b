#include "game_reader.h"

namespace velmora {
namespace {

constexpr std::string_view kCommentStart = "//";

bool standsAlone(char c) {
    return c == '{' || c == '}' || c == '(' || c == ')' || c == '\'' || c == ',';
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (asciiLower(text[i]) != lower[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

WordScanner::WordScanner(std::string_view descriptor)
    : text_(descriptor.substr(0, descriptor.find('\0'))),
      endsAtZeroByte_(text_.size() < descriptor.size()),
      lines_(text_) {}

std::optional<Word> WordScanner::next() {
    skipSeparatorsAndComments();
    if (position_ == text_.size()) {
        return std::nullopt;
    }
    Word word;
    word.start = position_;
    word.line = lines_.lineHolding(position_);
    if (text_[position_] == '"') {
        const std::size_t close = text_.find('"', position_ + 1);
        word.closed = close != std::string_view::npos;
        const std::size_t stop = word.closed ? close : text_.size();
        word.text = text_.substr(position_ + 1, stop - position_ - 1);
        position_ = word.closed ? close + 1 : stop;
    } else if (standsAlone(text_[position_])) {
        word.text = text_.substr(position_, 1);
        ++position_;
    } else {
        std::size_t stop = position_ + 1;
        while (stop < text_.size() && !separatesWords(text_[stop]) && !standsAlone(text_[stop])) {
            ++stop;
        }
        word.text = text_.substr(position_, stop - position_);
        position_ = stop;
    }
    word.end = position_;
    return word;
}

void WordScanner::skipSeparatorsAndComments() {
    for (;;) {
        while (position_ < text_.size() && separatesWords(text_[position_])) {
            ++position_;
        }
        if (text_.substr(position_, kCommentStart.size()) != kCommentStart) {
            return;
        }
        const std::size_t lineFeed = text_.find('\n', position_);
        position_ = lineFeed == std::string_view::npos ? text_.size() : lineFeed + 1;
    }
}

GameReading readAsTheGame(std::string_view descriptor) {
    GameReading reading;
    WordScanner scanner(descriptor);
    std::optional<Word> key;
    while (const std::optional<Word> word = scanner.next()) {
        if (!key && word->text.empty()) {
            reading.end = ReadingEnd::EmptyKey;
            reading.endOffset = word->start;
            return reading;
        }
        reading.words.push_back(*word);
        if (!key) {
            key = word;
            continue;
        }
        reading.entries.push_back(Entry{*key, *word});
        key.reset();
    }
    reading.end = scanner.endsAtZeroByte() ? ReadingEnd::ZeroByte : ReadingEnd::EndOfBytes;
    reading.endOffset = scanner.readableEnd();
    return reading;
}

bool isGameLibraryKey(std::string_view key) {
    return equalsIgnoringAsciiCase(key, "gamedll");
}

}  // namespace velmora
