#!/usr/bin/env python3
"""release_zip.py SOURCE_DIR COMPILER OUTPUT.zip FILE...: writes the release archive so that two
builds of one commit with the same tools give the same bytes, wherever and by whomever they
are made.

Each file is stored under its bare name, in the order given, followed by SHA256SUMS.txt
for the programs (*.exe) in the form sha256sum -c reads, and BUILD-TOOLS.txt: the versions
of the compiler, its linker (binutils), Python and its zlib that built it, which a build must match to
give the same bytes. Every entry carries the same time:
SOURCE_DATE_EPOCH if it is set, else the time of the source's last commit, else the
first moment a zip file can record (1980-01-01). No owner, no permissions, no build path."""
import hashlib
import os
import pathlib
import platform
import shutil
import subprocess
import sys
import time
import zipfile
import zlib

ZIP_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC


def release_time(source_dir):
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        commit = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                capture_output=True, text=True, check=True).stdout.strip()
        return int(commit)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return ZIP_EPOCH


def first_line(*command):
    return subprocess.run(command, capture_output=True, text=True,
                          check=True).stdout.splitlines()[0]


def package_of(program):
    """The Debian package that holds the program, with its version, where dpkg knows it."""
    try:
        path = os.path.realpath(shutil.which(program) or program)
        package = first_line("dpkg-query", "-S", path).split(":")[0]
        version = first_line("dpkg-query", "-W", "-f=${Version}", package)
        return f" (Debian package {package} {version})"
    except (OSError, IndexError, subprocess.CalledProcessError):
        return ""


def build_tools(compiler):
    linker = subprocess.run([compiler, "-print-prog-name=ld"], capture_output=True, text=True,
                            check=True).stdout.strip()
    return (f"compiler: {first_line(compiler, '--version')}{package_of(compiler)}\n"
            f"binutils: {first_line(linker, '--version')}{package_of(linker)}\n"
            f"python: {platform.python_version()} (zlib {zlib.ZLIB_RUNTIME_VERSION})\n")


def entry(name, date_time):
    info = zipfile.ZipInfo(name, date_time)
    info.create_system = 0  # MS-DOS: no Unix owner or permission bits
    info.external_attr = 0x20  # the archive attribute, as Windows sets it on a new file
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main(source_dir, compiler, output, *files):
    date_time = time.gmtime(max(release_time(source_dir), ZIP_EPOCH))[:6]
    sums = ""
    pathlib.Path(output).parent.mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(output, "w", compresslevel=9) as archive:
        for path in map(pathlib.Path, files):
            data = path.read_bytes()
            archive.writestr(entry(path.name, date_time), data)
            if path.suffix == ".exe":
                sums += f"{hashlib.sha256(data).hexdigest()}  {path.name}\n"
        archive.writestr(entry("SHA256SUMS.txt", date_time), sums)
        archive.writestr(entry("BUILD-TOOLS.txt", date_time), build_tools(compiler))
    print(f"{output}: {', '.join(pathlib.Path(f).name for f in files)}, SHA256SUMS.txt, "
          "BUILD-TOOLS.txt")


if __name__ == "__main__":
    main(*sys.argv[1:])
