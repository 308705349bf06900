#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace harvexa {

// Reads a text file in blocks of whole lines through one reused buffer, so a file of any size is
// read with little memory. A block ends after a line feed (or, in a file without line feeds, after a
// carriage return); the last block of the file may end without a line end.
class LineBlockReader final {
public:
    LineBlockReader() = default;
    ~LineBlockReader();
    LineBlockReader(const LineBlockReader&) = delete;
    LineBlockReader& operator=(const LineBlockReader&) = delete;

    [[nodiscard]] bool Open(const std::string& path);
    // The next block; false at the end of the file or when reading failed (see Error).
    bool NextBlock(std::string_view& block);
    const std::string& Error() const { return m_error; }

private:
    bool Fill();
    void Close();

    std::string m_path;
    std::string m_error;
    int m_fd = -1;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;
    std::size_t m_start = 0; // first byte not yet handed out
    std::size_t m_end = 0;   // end of the bytes read
    bool m_atEnd = false;
};

} // namespace harvexa
