#pragma once

#include <QString>

// The program's table of 21 translated messages (navigation caption, port
// errors, the link error texts and the "Warning" title), indexed 0..20.
constexpr int kMessageCount = 21;
QString messageText(int index);

// The text shown for a link error code: the message of that index, or
// "Communication Error!" for -1 and for any code without a text.
QString errorMessage(int code);
