#pragma once

#include <string>
#include <string_view>

namespace harvexa {

// A line writer over one text file. Every line goes to the kernel at once, so a line whose
// WriteLine returned survives the process being killed. Not synchronised: the owner's lock
// (the queue lock for the link journals) serialises its callers.
class CLLogEnvio final {
public:
    CLLogEnvio() = default;
    ~CLLogEnvio();
    CLLogEnvio(const CLLogEnvio&) = delete;
    CLLogEnvio& operator=(const CLLogEnvio&) = delete;

    // Closes any file still held, then creates `name` empty (truncating it) and keeps it open.
    bool OpenFresh(const std::string& name);
    // Like OpenFresh, but keeps the lines already in the file and writes after them.
    bool OpenAppend(const std::string& name);
    // Appends `text` and CR LF; false (and nothing else) when the line could not be written.
    bool WriteLine(std::string_view text);
    // Closes the file and deletes it when nothing but blanks and line breaks is in it.
    void CloseFile();

    bool IsOpen() const { return m_fd >= 0; }
    // The name given to the last open, kept after CloseFile.
    const std::string& FileName() const { return m_name; }

private:
    bool Open(const std::string& name, int flags);
    void CloseDescriptor();

    int m_fd = -1;
    std::string m_name;
    std::string m_line;
};

} // namespace harvexa
