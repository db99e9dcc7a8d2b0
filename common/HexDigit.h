#pragma once
// The value of one hexadecimal digit, either case; -1 for any other character. Shared by the
// readers of hex text: recorded sessions, device logs, colours typed by the user.

constexpr int HexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}
