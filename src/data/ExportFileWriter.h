#pragma once

#include <string>
#include <string_view>

namespace harvexa {

// Streams one export file. A regular file is written under a temporary name beside it and renamed
// over the target only after everything reached the disk, so a full disk or any other write failure
// leaves an older file of that name whole and no partial file behind. A target that exists and is
// not a regular file (a device such as /dev/stdout, a named pipe) is written into directly.
// Any failure is sticky: later writes do nothing and Commit reports it.
class ExportFileWriter final {
public:
    ExportFileWriter() = default;
    ~ExportFileWriter(); // abandons a file not committed
    ExportFileWriter(const ExportFileWriter&) = delete;
    ExportFileWriter& operator=(const ExportFileWriter&) = delete;

    [[nodiscard]] bool Open(const std::string& path);
    [[nodiscard]] bool Write(std::string_view data);
    // Flushes, syncs and puts the file in place; false when any step since Open failed.
    [[nodiscard]] bool Commit();
    // Drops the file being written (the temporary file is removed; the target is untouched).
    void Abandon();

    bool IsOpen() const { return m_fd >= 0; }
    // Why the last Open, Write or Commit failed.
    const std::string& Error() const { return m_error; }

private:
    bool Flush();
    bool WriteThrough(std::string_view data);
    bool Fail(const std::string& what, int error);
    void CloseDescriptor();

    std::string m_target;
    std::string m_temporary; // empty when writing the target directly
    std::string m_buffer;
    std::string m_error;
    int m_fd = -1;
    bool m_failed = false;
};

} // namespace harvexa
