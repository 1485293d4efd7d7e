#ifndef TELVANECLI_REPORT_REPORT_WRITER_H
#define TELVANECLI_REPORT_REPORT_WRITER_H

#include "common/output_stream.h"
#include "common/string.h"
#include "xml/shared_ptr.h"
#include "xml/xml_node.h"

// Writes the report tree under `root` to `out` in the form `format` names,
// compared ignoring ASCII case:
// - "XML": the 55-character XML declaration directly followed by the tree
//   written on one line, no line break anywhere. With `pruneCallbacks`, the
//   tree written is a copy from which every element named "callback" (with
//   its subtree) is removed; the caller's tree is never changed.
// - "TEXT": the lines `banner`, "  Time Generated: " + the root's
//   "time_generated", "  Server: " + "server" + ", Username: " + "username",
//   then the TEXT block of every child of the root; every line ends in
//   "\r\n".
// Any other format, or a null handle, writes nothing. Write failures are the
// stream's business. Releases its handles on return, so the stream is
// destroyed here only when the caller kept none.
void writeReport(XmlNodePtr root, SharedPtr<Common::OutputStream> out, Common::istring format,
                 bool pruneCallbacks, const Common::string& banner);

// Removes from `node`'s subtree every element named exactly `name`, with its
// whole subtree. `node` itself is kept whatever its name.
void removeElementsNamed(XmlNodePtr node, const Common::string& name);

#endif  // TELVANECLI_REPORT_REPORT_WRITER_H
