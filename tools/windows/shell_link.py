"""Reads a Windows shell link (.lnk) file: the target path, working folder and
arguments, from the binary layout itself rather than through Windows' own
link interface, so a link that only the writer's own reader accepts fails."""

import struct

HAS_ID_LIST = 0x01
HAS_LINK_INFO = 0x02
STRING_FLAGS = (("name", 0x04), ("relative_path", 0x08), ("working_dir", 0x10),
                ("arguments", 0x20), ("icon_location", 0x40))
IS_UNICODE = 0x80
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")


class ShellLinkError(ValueError):
    pass


def _c_string(data, offset, unicode, ansi):
    if unicode:
        end = offset
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[offset:end].decode("utf-16-le")
    return data[offset:data.index(b"\0", offset)].decode(ansi)


def read(path, ansi="cp1252"):
    """Returns a dict with target, working_dir, arguments, name, relative_path
    and icon_location (missing strings are None). ansi: the code page of the
    system that wrote the link, for its 8-bit target path."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 76 or struct.unpack_from("<I", data, 0)[0] != 0x4C or data[4:20] != LINK_CLSID:
        raise ShellLinkError(f"{path}: not a shell link")
    flags = struct.unpack_from("<I", data, 20)[0]
    offset = 76
    if flags & HAS_ID_LIST:
        offset += 2 + struct.unpack_from("<H", data, offset)[0]

    link = {"target": None}
    if flags & HAS_LINK_INFO:
        size, header_size, info_flags, _volume, base, _network, suffix = struct.unpack_from("<7I", data, offset)
        info = data[offset:offset + size]
        if info_flags & 1:
            if header_size >= 0x24:
                base_unicode, suffix_unicode = struct.unpack_from("<2I", info, 28)
                link["target"] = _c_string(info, base_unicode, True, ansi) + _c_string(info, suffix_unicode, True, ansi)
            else:
                link["target"] = _c_string(info, base, False, ansi) + _c_string(info, suffix, False, ansi)
        offset += size

    unicode = bool(flags & IS_UNICODE)
    for name, bit in STRING_FLAGS:
        link[name] = None
        if flags & bit:
            count = struct.unpack_from("<H", data, offset)[0]
            offset += 2
            width = 2 if unicode else 1
            raw = data[offset:offset + count * width]
            # Some writers count the terminating NUL as well.
            link[name] = raw.decode("utf-16-le" if unicode else ansi).rstrip("\0")
            offset += count * width
    if link["target"] is None:
        raise ShellLinkError(f"{path}: no local target path")
    return link
