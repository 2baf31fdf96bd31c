#pragma once

#include <QString>

// The settings file: an ini file read and written one entry per call, with the behaviour of the
// Windows profile functions the system was designed against. Every call opens, reads (and for a
// write, replaces) the file; nothing is cached, so a change made by one dialog is seen by the
// next read anywhere.
//
// Format: a section starts with a line "[name]"; an entry is a line "key=value". Section and key
// names match without regard to letter case; blanks and tabs around names and values are
// dropped; a value enclosed in a matching pair of double (or single) quotes is read without them.
// When a section or key occurs twice, the first occurrence counts.
//
// Text encoding: each line is read as UTF-8 when it is valid UTF-8 and as Latin-1 (the usual
// 8-bit code page) otherwise, so files written by older 8-bit tools keep their accents. Written
// entries are UTF-8.
//
// Threads: reentrant; concurrent writers to the same file are not coordinated (last one wins).
namespace sw::host {

// The buffer size every read of the system passes: values are cut to 126 characters.
inline constexpr int kProfileBufferSize = 127;

// The value of `key` in `section` of the file at `path`, or `defaultValue` when the file, the
// section or the key is absent or the file cannot be read. The result (default included) is cut
// to bufferSize - 1 characters, as a read through a buffer of that size would be.
QString readProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue, int bufferSize = kProfileBufferSize);

// Sets `key` in `section` to `value`. Creates the file and the section (appended at the end)
// when missing, replaces an existing entry in place, adds a new entry after the section's last
// entry, and keeps every other line of the file byte for byte (line endings, comments, blank and
// odd lines, other sections). The file is replaced atomically: the new content goes to a
// temporary file in the same folder, is flushed to disk and renamed over the original, so a full
// disk or a crash leaves the old file whole.
//
// Returns false, leaving the file untouched, when the file exists but cannot be read, the folder
// is missing or not writable, the write fails, or the names or value cannot be stored as one
// line (a line break or NUL anywhere, "=" in the key, "]" in the section, an empty key or
// section).
bool writeProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);

}  // namespace sw::host
