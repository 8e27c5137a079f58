#!/usr/bin/python3
"""Checks the release zip made by scripts/package.sh, the savers in it, and
the installer beside it (ZIP's name with -setup.exe for .zip).

  check_package.py ZIP SOURCE_DIR VERSION

Exit 0 when every check passes, 1 with one line per failure, 77 when the zip
has not been made (the test command makes it before the suites run).
"""
import os
import sys
import zipfile

import pefile

PRODUCT = "Veloma Screen Saver"
MACHINES = {"x86/VelomaSS.scr": 0x014C, "x64/VelomaSS.scr": 0x8664, "setup": 0x014C}
# A saver runs on a bare Windows: it imports only DLLs every Windows has.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "winmm.dll", "comdlg32.dll",
               "comctl32.dll", "msvcrt.dll"}
SAMPLE_KINDS = (".wav", ".mid", ".lst")


def expected_names(source_dir):
    names = {"x86/VelomaSS.scr", "x64/VelomaSS.scr", "velomass.bmp", "INSTALL.txt"}
    return names | {"samples/" + name for name in os.listdir(os.path.join(source_dir, "samples"))
                    if name.lower().endswith(SAMPLE_KINDS)}


def string_tables(pe):
    """The version resource's strings, {language and code page: {key: value}}."""
    return {table.LangID.decode(): {key.decode(): value.decode("utf-8", "replace")
                                    for key, value in table.entries.items()}
            for info in getattr(pe, "FileInfo", []) for entry in info
            if getattr(entry, "Key", b"") == b"StringFileInfo" for table in entry.StringTable}


def check_strings(name, lang, strings, wanted, failures):
    if {key: strings.get(key) for key in wanted} != wanted:
        failures.append(f"{name}: version strings {lang}: got {strings}, wanted {wanted}")


def check_program(name, kind, data, failures):
    """The program parsed, its machine checked."""
    pe = pefile.PE(data=data)
    if pe.FILE_HEADER.Machine != MACHINES[kind]:
        failures.append(f"{name}: machine: got {hex(pe.FILE_HEADER.Machine)}, wanted {hex(MACHINES[kind])}")
    return pe


def check_saver(name, data, version, failures):
    pe = check_program(name, name, data, failures)
    dlls = {entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}
    if not dlls or dlls - SYSTEM_DLLS:
        failures.append(f"{name}: imports {sorted(dlls)}, wanted only some of {sorted(SYSTEM_DLLS)}")
    if not getattr(pe, "VS_FIXEDFILEINFO", None):
        failures.append(f"{name}: no version resource")
        return
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch = (int(part) for part in version.split("."))
    got = [getattr(fixed, f) for f in ("FileVersionMS", "FileVersionLS", "ProductVersionMS", "ProductVersionLS")]
    if got != [major << 16 | minor, patch << 16] * 2:
        failures.append(f"{name}: fixed version {[hex(v) for v in got]}, wanted {version}")
    wanted = {"FileVersion": version, "ProductVersion": version, "ProductName": PRODUCT,
              "OriginalFilename": "VelomaSS.scr"}
    for lang, strings in string_tables(pe).items():
        check_strings(name, lang, strings, wanted, failures)


def check_install_text(data, version, failures):
    """UTF-8 with a BOM and CRLF line ends, for Notepad; both languages."""
    bare_lf = data.replace(b"\r\n", b"").count(b"\n")
    if not data.startswith(b"\xef\xbb\xbf") or bare_lf or not data.endswith(b"\r\n"):
        failures.append(f"INSTALL.txt: first bytes {data[:3]!r}, {bare_lf} line ends without CR")
    text = data.decode("utf-8", "replace")
    for needle in (f"{PRODUCT} {version}", "System32", "SysWOW64", "インストール", "BMP File..."):
        if needle not in text:
            failures.append(f"INSTALL.txt: no {needle!r}")
    if "@VERSION@" in text or "\ufffd" in text:
        failures.append("INSTALL.txt: a placeholder left or not UTF-8")


def check_setup(path, version, failures):
    """A 32-bit program (it runs on both kinds of Windows) whose version
    resource speaks English and Japanese, the languages of its pages."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        pe = check_program(name, "setup", f.read(), failures)
    tables = {lang[:4]: strings for lang, strings in string_tables(pe).items()}
    for lang, description in (("0409", f"{PRODUCT} Setup"), ("0411", f"{PRODUCT} セットアップ")):
        wanted = {"ProductName": PRODUCT, "ProductVersion": version, "FileDescription": description}
        check_strings(name, lang, tables.get(lang, {}), wanted, failures)


def check(zip_path, source_dir, version):
    failures = []
    check_setup(zip_path[:-len(".zip")] + "-setup.exe", version, failures)
    with zipfile.ZipFile(zip_path) as archive:
        names = {info.filename for info in archive.infolist() if not info.is_dir()}
        wanted = expected_names(source_dir)
        if names != wanted:
            failures.append(f"entries: extra {sorted(names - wanted)}, missing {sorted(wanted - names)}")
        for name in sorted(names & wanted):
            data = archive.read(name)  # checks the entry's CRC
            if name.endswith(".scr"):
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
    zip_path, source_dir, version = sys.argv[1:]
    if not os.path.exists(zip_path):
        print(f"{zip_path} not made: run scripts/package.sh", file=sys.stderr)
        return 77
    failures = check(zip_path, source_dir, version)
    print("\n".join(failures) or f"{os.path.basename(zip_path)}: {len(expected_names(source_dir))} files as wanted")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
