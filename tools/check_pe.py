#!/usr/bin/env python3
"""Static check of a Windows program we ship: machine, subsystem, imported DLLs, resources.

  check_pe.py [--machine i386|amd64] [--gui] [--resource NAME]... [--manifest] [--symbol NAME]... FILE

Exits 1 with one line per fault. Only Windows system DLLs may be imported, so that a
packaged presentation runs on a bare system without compiler runtime libraries. With
--manifest the program must carry an application manifest that runs it as the invoker,
asks for Common Controls 6 and names every Windows from Vista to 10 and 11. With
--symbol the program's symbol table must define that function: a statically linked
library's function is there only when the program calls it.
"""
import argparse
import struct
import sys
import xml.etree.ElementTree as ElementTree

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "version.dll",
    "winmm.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll",
    "ntdll.dll", "shlwapi.dll", "ws2_32.dll",
}
MACHINES = {"i386": 0x14C, "amd64": 0x8664}
RT_GROUP_ICON = 14
RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Windows Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = self.pe + 4
        self.machine, nsect, _, _, _, opt_size, self.characteristics = struct.unpack_from("<HHIIIHH", data, coff)
        self.opt = coff + 20
        magic = struct.unpack_from("<H", data, self.opt)[0]
        self.pe32plus = magic == 0x20B
        self.subsystem = struct.unpack_from("<H", data, self.opt + 68)[0]
        dirs = self.opt + (112 if self.pe32plus else 96)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        sect = self.opt + opt_size
        for i in range(nsect):
            name, vsize, va, rsize, rptr = struct.unpack_from("<8sIIII", data, sect + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), va, max(vsize, rsize), rptr))

    def defined_symbols(self):
        """Names the COFF symbol table defines (section number above 0), without the
        leading underscore of 32-bit C names."""
        table, count = struct.unpack_from("<II", self.data, self.pe + 4 + 8)
        if table == 0:
            raise ValueError("no symbol table (stripped)")
        strings = table + 18 * count
        names, i = set(), 0
        while i < count:
            raw, _, section, _, _, aux = struct.unpack_from("<8sIhHBB", self.data, table + 18 * i)
            if raw[:4] == b"\0\0\0\0":
                name = self.cstring(strings + struct.unpack_from("<I", raw, 4)[0])
            else:
                name = raw.rstrip(b"\0").decode("latin-1")
            if section > 0:
                names.add(name[1:] if self.machine == MACHINES["i386"] and name.startswith("_") else name)
            i += 1 + aux
        return names

    def offset(self, rva):
        for _, va, size, rptr in self.sections:
            if va <= rva < va + size:
                return rptr + rva - va
        raise ValueError("address 0x%x outside every section" % rva)

    def cstring(self, off):
        return self.data[off:self.data.index(b"\0", off)].decode("latin-1")

    def imports(self):
        rva, size = self.dirs[1]
        if not rva:
            return []
        names, off = [], self.offset(rva)
        while True:
            name_rva = struct.unpack_from("<IIIII", self.data, off)[3]
            if name_rva == 0:
                return names
            names.append(self.cstring(self.offset(name_rva)))
            off += 20

    def resource_entries(self, off):
        named, ids = struct.unpack_from("<HH", self.data, off + 12)
        for i in range(named + ids):
            yield struct.unpack_from("<II", self.data, off + 16 + 8 * i)

    def resource_data(self, type_id, name_id):
        """The bytes of resource type_id/name_id in its first language, or None."""
        rva, _ = self.dirs[2]
        if not rva:
            return None
        base = self.offset(rva)
        directory = base
        for wanted in (type_id, name_id):
            found = [t for e, t in self.resource_entries(directory) if e == wanted and t & 0x80000000]
            if not found:
                return None
            directory = base + (found[0] & 0x7FFFFFFF)
        languages = [t for _, t in self.resource_entries(directory) if not t & 0x80000000]
        if not languages:
            return None
        data_rva, size = struct.unpack_from("<II", self.data, base + languages[0])
        start = self.offset(data_rva)
        return self.data[start:start + size]

    def resource_names(self, type_id):
        rva, _ = self.dirs[2]
        if not rva:
            return []
        base = self.offset(rva)
        entries = self.resource_entries

        for name, target in entries(base):
            if not name & 0x80000000 and name == type_id and target & 0x80000000:
                result = []
                for sub, _ in entries(base + (target & 0x7FFFFFFF)):
                    if sub & 0x80000000:
                        s = base + (sub & 0x7FFFFFFF)
                        length = struct.unpack_from("<H", self.data, s)[0]
                        result.append(self.data[s + 2:s + 2 + 2 * length].decode("utf-16-le"))
                    else:
                        result.append("#%d" % sub)
                return result
        return []


def manifest_faults(pe):
    """What the application manifest lacks: run as invoker, Common Controls 6, supportedOS."""
    data = pe.resource_data(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID)
    if data is None:
        return ["no application manifest (RT_MANIFEST 1)"]
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as e:
        return ["application manifest is not XML: %s" % e]

    def named(tag):
        return [e for e in root.iter() if e.tag.rsplit("}", 1)[-1] == tag]

    faults = []
    levels = [e.get("level") for e in named("requestedExecutionLevel")]
    if levels != ["asInvoker"]:
        faults.append("manifest execution level %s, expected asInvoker" % (levels or "missing"))
    controls = [e.get("version", "") for e in named("assemblyIdentity")
                if e.get("name") == "Microsoft.Windows.Common-Controls"]
    if not any(v.startswith("6.") for v in controls):
        faults.append("manifest asks for no Common Controls 6 (has %s)" % (controls or "none"))
    ids = {e.get("Id", "").lower() for e in named("supportedOS")}
    for guid, system in SUPPORTED_OS.items():
        if guid not in ids:
            faults.append("manifest does not name %s as supported" % system)
    return faults


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--machine", choices=sorted(MACHINES))
    ap.add_argument("--gui", action="store_true", help="require the Windows GUI subsystem")
    ap.add_argument("--resource", action="append", default=[], help="icon group that must be present")
    ap.add_argument("--manifest", action="store_true",
                    help="require an application manifest: asInvoker, Common Controls 6, Vista to 10/11")
    ap.add_argument("--symbol", action="append", default=[], help="function the program must define")
    ap.add_argument("file")
    args = ap.parse_args()

    faults = []
    try:
        pe = Pe(open(args.file, "rb").read())
        if args.machine and pe.machine != MACHINES[args.machine]:
            faults.append("machine 0x%x, expected %s" % (pe.machine, args.machine))
        if args.gui and pe.subsystem != 2:
            faults.append("subsystem %d, expected 2 (Windows GUI)" % pe.subsystem)
        for dll in pe.imports():
            if dll.lower() not in SYSTEM_DLLS:
                faults.append("imports %s, which is not a Windows system DLL" % dll)
        icons = [n.upper() for n in pe.resource_names(RT_GROUP_ICON)]
        for res in args.resource:
            if res.upper() not in icons:
                faults.append("icon resource %s missing (has %s)" % (res, ", ".join(icons) or "none"))
        if args.manifest:
            faults.extend(manifest_faults(pe))
        if args.symbol:
            defined = pe.defined_symbols()
            faults.extend("symbol %s not defined" % name for name in args.symbol if name not in defined)
    except (ValueError, struct.error, OSError) as e:
        faults.append(str(e))
    for f in faults:
        print("%s: %s" % (args.file, f))
    if not faults:
        print("%s: ok" % args.file)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
