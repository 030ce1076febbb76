// Where the arguments start in the process's command line: after the program name and
// the blanks that follow it, as the C runtime hands them to WinMain.
#pragma once

// The name is quoted or ends at the first blank. Bytes compare as unsigned char: a byte
// of 0x80 or above (a letter of the ANSI code page, such as 0xE9 for "é") belongs to the
// name; as a signed char it would count as a blank.
inline char* ArgumentsAfterProgramName(char* p) {
    const bool quoted = *p == '"';
    if (quoted) ++p;
    while (*p != '\0' && (quoted ? *p != '"' : static_cast<unsigned char>(*p) > ' ')) ++p;
    if (*p == '"') ++p;
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
    return p;
}
