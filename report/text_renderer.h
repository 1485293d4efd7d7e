#ifndef TELVANECLI_REPORT_TEXT_RENDERER_H
#define TELVANECLI_REPORT_TEXT_RENDERER_H

#include "common/output_stream.h"
#include "xml/shared_ptr.h"
#include "xml/xml_node.h"

// Ends every line of the TEXT report, whatever the target.
extern const char kTextLineEnd[];

// Writes the TEXT block of `node` to `out`: the title line (two spaces and
// the node's "description"), one line per child named exactly "property"
// (six spaces, its "name", " = ", its "value"), then the blocks of its
// children named exactly "node", in list order. All property lines of a node
// come before its nested blocks, and indentation does not grow with depth.
// Missing attributes write as empty strings; values are written as stored;
// other children and attributes are ignored. The pieces reach the stream
// gathered into large writes, with the bytes a write of each piece would give
// (see BatchedOutput), all of them before this returns; write failures are
// the stream's business. Nothing is written when either handle is null.
void writeTextNode(XmlNodePtr node, SharedPtr<Common::OutputStream> out);

#endif  // TELVANECLI_REPORT_TEXT_RENDERER_H
