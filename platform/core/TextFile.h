#pragma once
// TTextFile: the runtime's text-file output. Every step is followed by an
// input/output check that raises EInOutError with the Windows error code of
// the failure, so no later line is written after a failed one.

#include <string>

namespace kw {

class TTextFile {
public:
    TTextFile() = default;
    ~TTextFile();  // closes without checking, as leaving a failed build does
    TTextFile(const TTextFile&) = delete;
    TTextFile& operator=(const TTextFile&) = delete;

    // Binds the variable to a file name afresh; a file still open is closed unchecked.
    void AssignFile(const std::string& name);

    // Creates the file or empties it, for writing only; others may read it meanwhile.
    void Rewrite();

    // Writes the bytes of `line` followed by CR LF.
    void WriteLine(const std::string& line);

    void CloseFile();

    bool IsOpen() const { return handle_ != -1; }

private:
    void Release() noexcept;

    std::string name_;
    long long handle_ = -1;  // a file descriptor or a Windows HANDLE
};

// The operating system's text for an error code, without trailing blanks,
// line breaks or full stops. On POSIX the code is an errno value.
std::string SystemErrorText(int osError);

} // namespace kw
