"""Reads what the Windows loader looks at in a PE program file: machine,
subsystem version, time stamp, the functions it imports by name and the
resources it carries."""
import struct

MACHINES = {0x14C: "i386", 0x8664: "x86_64"}


class PeFile:
    def __init__(self, data: bytes):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = pe_offset + 4
        machine, sections, self.time_stamp, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, coff)
        self.machine = MACHINES.get(machine, hex(machine))
        optional = coff + 20
        (magic,) = struct.unpack_from("<H", data, optional)
        if magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header")
        wide = magic == 0x20B
        self.subsystem_version = struct.unpack_from("<HH", data, optional + 48)
        self.os_version = struct.unpack_from("<HH", data, optional + 40)
        directories = optional + (112 if wide else 96)
        self._import_rva, _ = struct.unpack_from("<II", data, directories + 8)
        self._resource_rva, _ = struct.unpack_from("<II", data, directories + 16)
        self._thunk_size = 8 if wide else 4
        table = optional + optional_size
        self._sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def _offset(self, rva: int) -> int:
        for virtual_size, address, raw_size, raw_offset in self._sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def _string(self, rva: int) -> str:
        start = self._offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self) -> list[tuple[str, str]]:
        """(dll in lower case, function name or '#ordinal') for every import."""
        found = []
        if not self._import_rva:
            return found
        descriptor = self._offset(self._import_rva)
        ordinal_flag = 1 << (8 * self._thunk_size - 1)
        while True:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, descriptor)
            if not (lookup or name or first_thunk):
                return found
            dll = self._string(name).lower()
            entry = self._offset(lookup or first_thunk)
            while True:
                (thunk,) = struct.unpack_from("<Q" if self._thunk_size == 8 else "<I", self.data, entry)
                if not thunk:
                    break
                if thunk & ordinal_flag:
                    found.append((dll, f"#{thunk & 0xFFFF}"))
                else:
                    found.append((dll, self._string((thunk & 0x7FFFFFFF) + 2)))
                entry += self._thunk_size
            descriptor += 20

    def resources(self) -> dict[tuple, bytes]:
        """{(type, name, language): data} for every resource; a type or name
        given by number is an int, one given by name a str."""
        found = {}
        if not self._resource_rva:
            return found
        root = self._offset(self._resource_rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, root + directory + 12)
            for index in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, root + directory + 16 + 8 * index)
                if name & 0x80000000:
                    at = root + (name & 0x7FFFFFFF)
                    (length,) = struct.unpack_from("<H", self.data, at)
                    name = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield name, target

        for kind, kind_target in entries(0):
            for name, name_target in entries(kind_target & 0x7FFFFFFF):
                for language, leaf in entries(name_target & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, root + leaf)
                    start = self._offset(rva)
                    found[(kind, name, language)] = self.data[start:start + size]
        return found


def read(path: str) -> PeFile:
    with open(path, "rb") as file:
        return PeFile(file.read())
