#!/usr/bin/env python3
"""Writes seed corpora for the trainer-store fuzz targets.

usage: make_seeds.py CONTENT_DIR CORPUS_DIR

CORPUS_DIR gets one folder per target: account_load, score_load, forum_load (small files laid
out field by field), master_list_load (the content's chat/master_com.dat) and author_file_load
(the content's chat/com_Mirelle.act, the author the target posts from).
"""
import os
import shutil
import struct
import sys


def popcount(v):
    return bin(v & 0xFFFFFFFF).count("1")


def account(access, credits, story, read_ids, deleted_ids):
    header = struct.pack("<7I", 2, 0, 0, 0, 1, len(read_ids), len(deleted_ids))
    data = struct.pack("<7I", access, credits, story, 3, 1, 2, 1)
    data += bytes([1, 0, 255, 255, 255, 9, 9, 9])
    data += struct.pack("<3I", 4, 4, 0x10) + bytes(16) + struct.pack("<2I", 0, 0) + bytes(16)
    checksum = popcount(access + credits + story) ^ 0x3C91A7E4
    data += struct.pack("<2I", 0x5, checksum)
    ids = b"".join(struct.pack("<I", i) for i in read_ids + deleted_ids)
    return header + data + ids


def entry(name, score):
    raw = name.encode("latin-1")
    first = raw[0] - 256 if raw and raw[0] > 127 else (raw[0] if raw else 0)
    stored = score ^ 0x6B1D42C9
    return (raw.ljust(24, b"\0") + struct.pack("<3I", popcount(first * 4) ^ 0x4A7C0D2E, stored,
                                              popcount(stored) ^ 0x19E6F35A))


def scores(tables):
    out = struct.pack("<2I", 1, len(tables))
    for key, entries in tables:
        out += key.encode().ljust(48, b"\0")
        for i in range(50):
            out += entry(*entries[i]) if i < len(entries) else entry("", 0)
    return out


def record(msg_id, kind, flags, author, subject):
    return (struct.pack("<IHBB", msg_id, kind, flags, 0) + author.encode().ljust(32, b"\0") +
            b"pilot".ljust(32, b"\0") + subject.encode().ljust(128, b"\0") +
            b"11/14/2023 22:13:20".ljust(32, b"\0"))


def forum(posted, pending, delivered):
    out = struct.pack("<5I", 1, 1700000000, 7, len(posted), len(pending))
    for msg_id, kind, flags, text in posted:
        out += record(msg_id, kind, flags, "Mirelle", "Scores") + struct.pack("<I", len(text)) + text
    for msg_id, kind, delay, text in pending:
        out += record(msg_id, kind, 0, "Tobrin", "Later") + struct.pack("<fI", delay, len(text)) + text
    out += struct.pack("<I", len(delivered)) + b"".join(struct.pack("<I", d) for d in delivered)
    return out


def main():
    content, corpus = sys.argv[1], sys.argv[2]
    seeds = {
        "account_load": [account(0, 0, 0, [], []), account(2, 123456, 4, [1, 0x03000005], [7])],
        "score_load": [scores([]), scores([("570425789", [("\xc9lise", 900000), ("Mirelle", 800000)]),
                                           ("570425756", [("pilot", 5)])])],
        "forum_load": [forum([], [], []),
                       forum([(0x04000010, 1, 0, b"hello"), (7, 2, 1, b"note")], [(0x05000011, 1, 3.5, b"soon")],
                             [0x04000010])],
    }
    for target, files in seeds.items():
        os.makedirs(os.path.join(corpus, target), exist_ok=True)
        for i, data in enumerate(files):
            with open(os.path.join(corpus, target, "seed%d" % i), "wb") as f:
                f.write(data)
    for target, name in (("master_list_load", "master_com.dat"), ("author_file_load", "com_Mirelle.act")):
        os.makedirs(os.path.join(corpus, target), exist_ok=True)
        shutil.copy(os.path.join(content, "chat", name), os.path.join(corpus, target, name))


if __name__ == "__main__":
    main()
