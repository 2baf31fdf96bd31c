#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

// The settings file: an ini file read and written one entry per call, with the behaviour of the
// Windows profile functions the system was designed against. Every call opens, reads (and for a
// write, replaces) the file; nothing is cached, so a change made by one dialog is seen by the
// next read anywhere. An operation that reads or writes several entries reads the file once
// through a ProfileFile.
//
// Size: a real settings file holds a handful of entries, well under a kilobyte. A file larger
// than kMaxSettingsFileBytes is not one of ours (or is damaged): it is neither read nor
// replaced, reads give their defaults and writes fail, so that it costs nothing on the reads
// that run at every focus change.
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
namespace sw::base {

// The buffer size every read of the system passes: values are cut to 126 characters.
inline constexpr int kProfileBufferSize = 127;
// The largest settings file read or replaced, in bytes (1 MB).
inline constexpr qint64 kMaxSettingsFileBytes = 1024 * 1024;

// One line of a settings file as stored: its bytes without the line ending, and the ending
// itself ("\r\n", "\n", or empty for a last line without one).
struct ProfileLine {
    QByteArray content;
    QByteArray ending;
};

// The settings file read once: reads and changes work on this copy, and save() writes it back
// in one go. Entries follow the rules of readProfileString and writeProfileString.
class ProfileFile {
public:
    // Reads the file at `path`. A missing file reads as empty (save() creates it). A file that
    // is not a regular file, cannot be read or is larger than kMaxSettingsFileBytes reads as
    // empty with error() set, and save() leaves it alone.
    static ProfileFile read(const QString& path);
    // A copy of the given bytes with no file behind it (save() fails).
    static ProfileFile fromBytes(const QByteArray& bytes);

    // Why the file could not be read or saved, as a sentence fragment naming the file ("the
    // settings file /x/Sheetwise.ini is larger than 1 MB (5000000 bytes)"); empty when fine.
    [[nodiscard]] const QString& error() const { return m_error; }

    // The entry's value, or `defaultValue` when absent, cut to bufferSize - 1 characters.
    [[nodiscard]] QString value(const QString& section, const QString& key,
                                const QString& defaultValue,
                                int bufferSize = kProfileBufferSize) const;
    // Sets the entry in the copy. Returns false, changing nothing, for an entry that cannot be
    // stored as one line (see writeProfileString).
    bool setValue(const QString& section, const QString& key, const QString& value);
    // The copy's content as it would be saved.
    [[nodiscard]] QByteArray bytes() const;
    // Replaces the file with the copy, atomically. Returns false with error() set when the file
    // could not be read in the first place or cannot be written; the file is then untouched.
    bool save();

private:
    QString m_path;
    std::vector<ProfileLine> m_lines;
    QString m_error;
    bool m_usable = false;  // read from a file that may be replaced
};

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
// Returns false, leaving the file untouched, when the file exists but cannot be read or is too
// large, the folder is missing or not writable, the write fails, or the names or value cannot be
// stored as one line (a line break or NUL anywhere, "=" in the key, "]" in the section, an empty
// key or section).
bool writeProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);

}  // namespace sw::base
