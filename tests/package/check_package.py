#!/usr/bin/python3
"""Checks the release zip made by scripts/package.sh, and the installer
beside it (ZIP's name with -setup.exe for .zip).

  check_package.py ZIP SOURCE_DIR VERSION

Exit 0 when every check passes, 1 with one line per failure, 77 when the zip
has not been made (the test command makes it before the suites run).
"""
import os
import sys
import zipfile

import pefile

PRODUCT = "Veloma Screen Saver"
MACHINES = {"x86/VelomaSS.scr": 0x014C, "x64/VelomaSS.scr": 0x8664}
SAMPLE_KINDS = (".wav", ".mid", ".lst")


def expected_names(source_dir):
    names = set(MACHINES) | {"velomass.bmp", "INSTALL.txt"}
    for name in os.listdir(os.path.join(source_dir, "samples")):
        if name.lower().endswith(SAMPLE_KINDS):
            names.add("samples/" + name)
    return names


def version_strings(pe):
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            if getattr(entry, "Key", b"") == b"StringFileInfo":
                for table in entry.StringTable:
                    for key, value in table.entries.items():
                        strings[key.decode("utf-8", "replace")] = value.decode("utf-8", "replace")
    return strings


def check_saver(name, data, version, failures):
    def fail(what, got, wanted):
        failures.append(f"{name}: {what}: got {got!r}, wanted {wanted!r}")

    try:
        pe = pefile.PE(data=data)
    except pefile.PEFormatError as error:
        failures.append(f"{name}: not a PE file: {error}")
        return
    if pe.FILE_HEADER.Machine != MACHINES[name]:
        fail("machine", hex(pe.FILE_HEADER.Machine), hex(MACHINES[name]))
    if not getattr(pe, "VS_FIXEDFILEINFO", None):
        failures.append(f"{name}: no version resource")
        return
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch = (int(part) for part in version.split("."))
    for field, wanted in (("FileVersionMS", major << 16 | minor), ("FileVersionLS", patch << 16),
                          ("ProductVersionMS", major << 16 | minor), ("ProductVersionLS", patch << 16)):
        got = getattr(fixed, field)
        if got != wanted:
            fail(field, hex(got), hex(wanted))
    strings = version_strings(pe)
    for key, wanted in (("FileVersion", version), ("ProductVersion", version), ("ProductName", PRODUCT),
                        ("OriginalFilename", "VelomaSS.scr")):
        if strings.get(key) != wanted:
            fail(f"version string {key}", strings.get(key), wanted)


def check_install_text(data, version, failures):
    def fail(what, got, wanted):
        failures.append(f"INSTALL.txt: {what}: got {got!r}, wanted {wanted!r}")

    if not data.startswith(b"\xef\xbb\xbf"):
        fail("first bytes", data[:3], b"\xef\xbb\xbf")
    bare_lf = data.replace(b"\r\n", b"").count(b"\n")
    if bare_lf or not data.endswith(b"\r\n"):
        fail("line ends without CR", bare_lf, 0)
    try:
        text = data[3:].decode("utf-8")
    except UnicodeDecodeError as error:
        fail("UTF-8", str(error), "valid")
        return
    for needle in (f"{PRODUCT} {version}", "System32", "SysWOW64", "インストール", "BMP File..."):
        if needle not in text:
            fail("text", "missing", needle)
    if "@VERSION@" in text:
        fail("placeholder left", "@VERSION@", "the version")


def check_setup(path, version, failures):
    """A 32-bit program (it runs on both kinds of Windows) whose version
    resource speaks English and Japanese, the languages of its pages."""
    name = os.path.basename(path)
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        failures.append(f"{name}: not a PE file: {error}")
        return
    if pe.FILE_HEADER.Machine != 0x014C:
        failures.append(f"{name}: machine: got {hex(pe.FILE_HEADER.Machine)}, wanted 0x14c")
    tables = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            if getattr(entry, "Key", b"") == b"StringFileInfo":
                for table in entry.StringTable:
                    tables[table.LangID.decode()[:4]] = {key.decode(): value.decode("utf-8", "replace")
                                                         for key, value in table.entries.items()}
    for lang, description in (("0409", f"{PRODUCT} Setup"), ("0411", f"{PRODUCT} セットアップ")):
        got = tables.get(lang, {})
        wanted = {"ProductName": PRODUCT, "ProductVersion": version, "FileDescription": description}
        if {key: got.get(key) for key in wanted} != wanted:
            failures.append(f"{name}: version strings {lang}: got {got}, wanted {wanted}")


def check(zip_path, source_dir, version):
    failures = []
    check_setup(zip_path[:-len(".zip")] + "-setup.exe", version, failures)
    with zipfile.ZipFile(zip_path) as archive:
        names = {info.filename for info in archive.infolist() if not info.is_dir()}
        wanted = expected_names(source_dir)
        if names != wanted:
            failures.append(f"entries: got {sorted(names)}, wanted {sorted(wanted)}; "
                            f"extra {sorted(names - wanted)}, missing {sorted(wanted - names)}")
        bad = archive.testzip()
        if bad:
            failures.append(f"damaged entry {bad}")
        for name in sorted(names & wanted):
            data = archive.read(name)
            if name in MACHINES:
                check_saver(name, data, version, failures)
            elif name == "INSTALL.txt":
                check_install_text(data, version, failures)
            else:
                source = os.path.join(source_dir, "res" if name == "velomass.bmp" else "", name)
                with open(source, "rb") as f:
                    if f.read() != data:
                        failures.append(f"{name}: differs from {source}")
    return failures


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source_dir, version = sys.argv[2], sys.argv[3]
    zip_path = sys.argv[1]
    if not os.path.exists(zip_path):
        print(f"{zip_path} not made: run scripts/package.sh", file=sys.stderr)
        return 77
    failures = check(zip_path, source_dir, version)
    for line in failures:
        print(line)
    if not failures:
        print(f"{os.path.basename(zip_path)}: {len(expected_names(source_dir))} files as wanted")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
