#ifndef TELVANECLI_CIM_DOCUMENT_ENCODING_H
#define TELVANECLI_CIM_DOCUMENT_ENCODING_H

#include <cstddef>
#include <string_view>

namespace cim {

// Longest document start worth waiting for: an XML declaration that has not
// ended by then is no declaration a server sends.
inline constexpr std::size_t kMaxDocumentStartBytes = 1024;

enum class DocumentEncoding {
  kUndecided,  // the start seen so far does not tell yet
  kUtf8,       // UTF-8: no declaration, none naming an encoding, or "UTF-8"
  kOther,      // a declaration names another encoding (or none that can be read),
               // or the bytes are UTF-16 or UTF-32
};

// What the first bytes of an XML document (as many as have arrived, a UTF-8
// byte order mark included) say of its encoding, read as an XML parser that
// is told nothing else reads them.
DocumentEncoding documentEncoding(std::string_view start);

}  // namespace cim

#endif  // TELVANECLI_CIM_DOCUMENT_ENCODING_H
