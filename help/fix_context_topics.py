#!/usr/bin/env python3
# help/fix_context_topics.py - points the help file's context numbers at their pages.
"""Repairs the context table of a help file made by chmcmd 3.2.

chmcmd writes the topic of every context number ([MAP] and [ALIAS]) with the
absolute folder of the help project in front of it, e.g.
"/home/me/build/help/stage/html/index.html". HTML Help looks that name up
inside the file, finds nothing, and HH_HELP_CONTEXT opens no page. The page's
real name is a tail of that string, and the string table (#STRINGS) already
ends it with a zero byte, so the fix needs no new strings: the small context
table (#IVB) is written anew with each offset moved to the tail, and stored
uncompressed at the end of the file. The directory entry of #IVB is the only
other thing that changes.

    fix_context_topics.py FILE.chm EXTRACT_CHMLIB

EXTRACT_CHMLIB is chmlib's extract tool, used to read the compressed tables.
A file whose context topics are already right is left untouched.
"""
import os
import struct
import subprocess
import sys
import tempfile

ITSF_SECTION_TABLE = 0x38
ITSF_CONTENT_OFFSET = 0x58
CHUNK_HEADER = 20  # "PMGL", free space, unknown, previous, next


def read_encint(data, at):
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, at


def encint(value):
    groups = [value & 0x7F]
    value >>= 7
    while value:
        groups.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(groups))


def parse_chunk(chunk, free):
    """Entries of a listing chunk as (start offset, name, section, offset, length)."""
    entries = []
    at = CHUNK_HEADER
    end = len(chunk) - free
    while at < end:
        start = at
        size, at = read_encint(chunk, at)
        name = chunk[at:at + size].decode("utf-8")
        at += size
        section, at = read_encint(chunk, at)
        offset, at = read_encint(chunk, at)
        length, at = read_encint(chunk, at)
        entries.append([start, name, section, offset, length])
    return entries


def build_chunk(old_chunk, old_entries, entries, density):
    """The listing chunk with the given entries, its quick-reference area
    kept pointing at the same entries as before."""
    size = len(old_chunk)
    count = struct.unpack_from("<H", old_chunk, size - 2)[0]
    if count != len(old_entries):
        raise SystemExit("unexpected listing chunk: entry count does not match")
    # One reference per 1 + 2^density entries, written backwards from the
    # entry count at the chunk's end, each the offset of an entry.
    old_starts = {entry[0] - CHUNK_HEADER: index for index, entry in enumerate(old_entries)}
    references = []
    for number in range(count // (1 + (1 << density))):
        offset = struct.unpack_from("<H", old_chunk, size - 4 - 2 * number)[0]
        if offset not in old_starts:
            raise SystemExit("unexpected listing chunk: a quick reference points at no entry")
        references.append(old_starts[offset])

    body = bytearray()
    starts = []
    for _, name, section, offset, length in entries:
        starts.append(len(body))
        encoded = name.encode("utf-8")
        body += encint(len(encoded)) + encoded + encint(section) + encint(offset) + encint(length)
    tail = bytearray()
    for index in reversed(references):
        tail += struct.pack("<H", starts[index])
    tail += struct.pack("<H", len(entries))
    new_free = size - CHUNK_HEADER - len(body)
    if new_free < len(tail):
        raise SystemExit("the listing chunk has no room for the moved context table")
    chunk = bytearray(old_chunk[:CHUNK_HEADER])
    struct.pack_into("<I", chunk, 4, new_free)
    chunk += body
    chunk += bytes(size - len(chunk) - len(tail))
    chunk += tail
    return bytes(chunk)


def extract(chm_path, tool, folder):
    subprocess.run([tool, chm_path, folder], check=True, stdout=subprocess.DEVNULL)


def page_for(topic, folder):
    """The longest tail of topic, cut at a slash, that names a file in the help."""
    parts = topic.strip("/").split("/")
    for first in range(len(parts)):
        tail = "/".join(parts[first:])
        if os.path.isfile(os.path.join(folder, tail)):
            return len(topic) - len(tail)
    return None


def fixed_context_table(folder):
    with open(os.path.join(folder, "#IVB"), "rb") as f:
        table = f.read()
    with open(os.path.join(folder, "#STRINGS"), "rb") as f:
        strings = f.read()
    length = struct.unpack_from("<I", table, 0)[0]
    pairs = [struct.unpack_from("<II", table, 4 + 8 * i) for i in range(length // 8)]
    changed = False
    result = bytearray(table[:4])
    for context, offset in pairs:
        end = strings.index(b"\0", offset)
        topic = strings[offset:end].decode("utf-8")
        cut = page_for(topic, folder)
        if cut is None:
            raise SystemExit("context 0x%X names no page of the help: %s" % (context, topic))
        changed |= cut != 0
        result += struct.pack("<II", context, offset + cut)
    return bytes(result) if changed else None


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    chm_path, tool = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        extract(chm_path, tool, folder)
        if not os.path.exists(os.path.join(folder, "#IVB")):
            return
        table = fixed_context_table(folder)
    if table is None:
        return

    with open(chm_path, "rb") as f:
        data = bytearray(f.read())
    if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
        raise SystemExit("not a version 3 help file")
    hs0_offset, _, directory_offset, _ = struct.unpack_from("<QQQQ", data, ITSF_SECTION_TABLE)
    content_offset = struct.unpack_from("<Q", data, ITSF_CONTENT_OFFSET)[0]
    if data[directory_offset:directory_offset + 4] != b"ITSP":
        raise SystemExit("no directory in the help file")
    header_size = struct.unpack_from("<I", data, directory_offset + 8)[0]
    chunk_size = struct.unpack_from("<I", data, directory_offset + 0x10)[0]
    density = struct.unpack_from("<I", data, directory_offset + 0x14)[0]
    chunk_count = struct.unpack_from("<I", data, directory_offset + 0x2C)[0]

    for number in range(chunk_count):
        start = directory_offset + header_size + number * chunk_size
        chunk = bytes(data[start:start + chunk_size])
        if chunk[:4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", chunk, 4)[0]
        old_entries = parse_chunk(chunk, free)
        entries = [list(entry) for entry in old_entries]
        for entry in entries:
            if entry[1] == "/#IVB":
                # Section 0 is stored as is, at offsets from the content start.
                entry[2:] = [0, len(data) - content_offset, len(table)]
                data[start:start + chunk_size] = build_chunk(chunk, old_entries, entries, density)
                data += table
                struct.pack_into("<Q", data, hs0_offset + 8, len(data))
                with open(chm_path, "wb") as f:
                    f.write(data)
                return
    raise SystemExit("the help file lists no context table")


if __name__ == "__main__":
    main()
