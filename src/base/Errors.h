#pragma once
// Errors raised inside a command. The message is UTF-8; the boundary that catches
// it shows it in a modal message box and the command is abandoned.
#include <stdexcept>
#include <string>

class EPluginError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The list control's index error: "リストのインデックスが範囲を超えています (%d)".
class EListError : public EPluginError {
public:
    explicit EListError(int index);
};

// The list control could not take a new row: "行を挿入できません".
class EInsertError : public EPluginError {
public:
    EInsertError();
};

// A file that exists but cannot be read.
class EInOutError : public EPluginError {
public:
    using EPluginError::EPluginError;
};
