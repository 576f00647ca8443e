#include "base/Errors.h"

EListError::EListError(int index)
    : EPluginError("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")") {}

EInsertError::EInsertError() : EPluginError("行を挿入できません") {}
