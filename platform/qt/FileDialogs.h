#pragma once
// TOpenDialog and TSaveDialog: Qt's own file dialog (never a desktop portal,
// so that tests can answer it), with the system dialog's rules: the name last
// confirmed is offered again, a confirmed choice moves the current directory
// to the chosen file's folder, and a name that would not fit the 260-byte
// buffer counts as cancelled.

#include <QObject>

#include <string>

namespace kw {

class TFileDialog : public QObject {
public:
    enum class Kind { Open, Save };
    TFileDialog(QObject* parent, Kind kind);

    // Shows the dialog modally; true when the user confirmed a file.
    bool Execute();

    // The full path last confirmed; empty until then.
    std::string FileName;

private:
    Kind kind_;
};

class TOpenDialog : public TFileDialog {
public:
    explicit TOpenDialog(QObject* parent) : TFileDialog(parent, Kind::Open) {}
};

class TSaveDialog : public TFileDialog {
public:
    explicit TSaveDialog(QObject* parent) : TFileDialog(parent, Kind::Save) {}
};

// The dialogs' file-name buffer holds this many bytes with its terminating zero.
inline constexpr std::size_t FileNameBufferSize = 260;

} // namespace kw
