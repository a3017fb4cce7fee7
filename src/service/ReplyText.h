#pragma once

#include <QString>

// Texts taken from a reply of a web service before they reach the user's
// screen (the watch list, its tool tips, the detail pane, message boxes).
// A reply may carry anything: a title of a megabyte, line breaks, terminal
// escapes, or bidirectional overrides that make "$19.99" read as "99.91$".
// Everything such a text shows goes through here first.
class ReplyText
{
public:
    // Product titles are rarely above 200 characters.
    static constexpr int TitleLength = 400;
    // Availability, formatted prices, version numbers, flags.
    static constexpr int ShortTextLength = 100;
    // Error messages of a service.
    static constexpr int MessageLength = 400;
    // Image and page addresses; longer ones are not used at all.
    static constexpr int LinkLength = 2048;

    // The text on one line: control characters and line or paragraph
    // separators become one blank per run, bidirectional formatting
    // characters and unpaired surrogates are dropped, blanks at both ends
    // are trimmed. A longer result is cut after whole characters and ends in
    // "…", so it is at most maximumLength long.
    static QString Displayable(const QString& text, int maximumLength);

    // The text when it is an http or https address of at most LinkLength
    // characters without blanks or control characters; otherwise empty.
    static QString WebLink(const QString& text);
};
