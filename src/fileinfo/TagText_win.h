#pragma once
// The Win32 side of tag text: conversion into the ANSI code page.
#include <string>
#include <string_view>

// No best-fit mapping: a character the code page lacks shows as "?", not as a
// look-alike letter.
std::string Utf16ToAnsiCodePage(std::u16string_view text);
