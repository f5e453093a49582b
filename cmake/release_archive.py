#!/usr/bin/env python3
"""release_archive.py SOURCE_DIR COMPILER RUNTIME OUTPUT FILE...: writes a release archive so that
two builds of one commit with the same tools give the same bytes, wherever and by whomever they
are made. OUTPUT ends in .zip (for Windows) or .tar.gz (for Linux).

The archive holds each FILE, then SHA256SUMS.txt for its programs (every FILE but the .txt
documents) in the form sha256sum -c reads, and BUILD-TOOLS.txt: the versions of the compiler,
its linker (binutils), the C runtime that the programs carry (RUNTIME names one of its static
libraries), and Python and its zlib, which wrote the archive; a build must match them to give
the same bytes. Every entry carries the same time: SOURCE_DATE_EPOCH if it is set, else the
time of the source's last commit, else the first moment a zip file can record (1980-01-01).

A zip stores each file under its bare name, in the order given, with no owner or permissions.
A tar.gz stores them, sorted by name, in a folder named after the archive; each with owner and
group 0 and no names for them, programs with mode 0755 and documents 0644; its gzip header
holds no time and no file name. Neither holds a build path."""
import gzip
import hashlib
import io
import os
import pathlib
import platform
import shutil
import subprocess
import sys
import tarfile
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


def package_of(path):
    """The Debian package that holds the file, with its version, where dpkg knows it."""
    try:
        package = first_line("dpkg-query", "-S", os.path.realpath(path)).split(":")[0]
        version = first_line("dpkg-query", "-W", "-f=${Version}", package)
        return f" (Debian package {package} {version})"
    except (OSError, IndexError, subprocess.CalledProcessError):
        return ""


def compiler_file(compiler, option):
    return subprocess.run([compiler, option], capture_output=True, text=True,
                          check=True).stdout.strip()


def build_tools(compiler, runtime):
    compiler_path = shutil.which(compiler) or compiler
    linker = compiler_file(compiler, "-print-prog-name=ld")
    runtime_path = compiler_file(compiler, f"-print-file-name={runtime}")
    return (f"compiler: {first_line(compiler, '--version')}{package_of(compiler_path)}\n"
            f"binutils: {first_line(linker, '--version')}{package_of(shutil.which(linker) or linker)}\n"
            f"C runtime: {runtime}{package_of(runtime_path)}\n"
            f"python: {platform.python_version()} (zlib {zlib.ZLIB_RUNTIME_VERSION})\n")


def is_program(path):
    return path.suffix != ".txt"


def checksums(paths):
    return "".join(f"{hashlib.sha256(path.read_bytes()).hexdigest()}  {path.name}\n"
                   for path in paths if is_program(path))


def zip_entry(name, date_time):
    info = zipfile.ZipInfo(name, date_time)
    info.create_system = 0  # MS-DOS: no Unix owner or permission bits
    info.external_attr = 0x20  # the archive attribute, as Windows sets it on a new file
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_zip(output, when, members):
    date_time = time.gmtime(when)[:6]
    with zipfile.ZipFile(output, "w", compresslevel=9) as archive:
        for name, data in members:
            archive.writestr(zip_entry(name, date_time), data)


def tar_entry(name, when, mode, size=0, kind=tarfile.REGTYPE):
    info = tarfile.TarInfo(name)
    info.type, info.mode, info.size, info.mtime = kind, mode, size, when
    info.uid = info.gid = 0
    info.uname = info.gname = ""
    return info


def write_tar_gz(output, when, members):
    folder = output.name.removesuffix(".tar.gz")
    data = io.BytesIO()
    with tarfile.open(fileobj=data, mode="w", format=tarfile.USTAR_FORMAT) as archive:
        archive.addfile(tar_entry(folder, when, 0o755, kind=tarfile.DIRTYPE))
        for name, content in sorted(members):
            mode = 0o644 if name.endswith(".txt") else 0o755
            archive.addfile(tar_entry(f"{folder}/{name}", when, mode, len(content)),
                            io.BytesIO(content))
    with open(output, "wb") as file:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=file,
                           mtime=0) as compressed:
            compressed.write(data.getvalue())


def main(source_dir, compiler, runtime, output, *files):
    output = pathlib.Path(output)
    paths = [pathlib.Path(f) for f in files]
    when = max(release_time(source_dir), ZIP_EPOCH)
    members = [(path.name, path.read_bytes()) for path in paths]
    members.append(("SHA256SUMS.txt", checksums(paths).encode()))
    members.append(("BUILD-TOOLS.txt", build_tools(compiler, runtime).encode()))
    output.parent.mkdir(parents=True, exist_ok=True)
    if output.name.endswith(".tar.gz"):
        write_tar_gz(output, when, members)
    else:
        write_zip(output, when, members)
    print(f"{output}: {', '.join(name for name, _ in members)}")


if __name__ == "__main__":
    main(*sys.argv[1:])
