#pragma once

#include <QByteArray>
#include <QString>

// A guard run over a reply before it becomes a DOM, in one pass of a
// streaming reader that keeps no tree and does not recurse.
//
// QDomDocument frees its tree recursively, so a document nested a few
// hundred thousand elements deep overflows the stack when it is destroyed;
// such a reply must be refused while it is still plain bytes. The services
// never send a document type declaration either: one in a reply can only
// serve entity tricks (expansion bombs, references to local files), so it is
// refused outright instead of trusting the parser's limits.
class XmlReplyCheck
{
public:
    // Far deeper than any reply the services send, far shallower than what
    // could endanger the stack.
    static constexpr int MaximumDepth = 256;

    // An empty text when no element lies deeper than maximumDepth levels
    // (the root is level 1) and there is no document type declaration;
    // otherwise a readable reason. A document that is not well-formed
    // passes: reporting that is the parser's job.
    static QString Problem(const QByteArray& data, int maximumDepth = MaximumDepth);
};
