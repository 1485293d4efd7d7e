/* The parsing floor of a collection: expat alone reading the response bodies
 * a client receives, so a client's CPU time can be read against what parsing
 * those bytes costs at the least.
 *
 *   expat_floor FILE...
 *
 * Each file is one response body, parsed by a fresh parser in pieces of
 * 16 KiB (the size libcurl hands its write callback). The start, end and
 * character-data handlers do nothing but count: with handlers set, expat
 * builds the element names, attribute lists and text pieces any decoder
 * reads, which is the least a client must pay. Prints "bytes=N elements=N"
 * and exits 1 when a file cannot be read or is not well-formed. */
#include <expat.h>
#include <stdio.h>
#include <string.h>

enum { kPieceBytes = 16384 };

static unsigned long long elements;

static void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attributes) {
  (void)user;
  (void)name;
  (void)attributes;
  ++elements;
}

static void XMLCALL onEnd(void* user, const XML_Char* name) {
  (void)user;
  (void)name;
}

static void XMLCALL onText(void* user, const XML_Char* text, int length) {
  (void)user;
  (void)text;
  (void)length;
}

/* Parses one file; returns its size, or -1 after printing why it failed. */
static long long parseFile(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == NULL) {
    fprintf(stderr, "expat_floor: cannot open %s\n", path);
    return -1;
  }
  XML_Parser parser = XML_ParserCreate(NULL);
  if (parser == NULL) {
    fclose(file);
    fprintf(stderr, "expat_floor: no memory for a parser\n");
    return -1;
  }
  XML_SetElementHandler(parser, onStart, onEnd);
  XML_SetCharacterDataHandler(parser, onText);

  static char piece[kPieceBytes];
  long long total = 0;
  int ok = 1;
  for (;;) {
    const size_t got = fread(piece, 1, sizeof piece, file);
    const int last = got < sizeof piece;
    if (XML_Parse(parser, piece, (int)got, last) != XML_STATUS_OK) {
      fprintf(stderr, "expat_floor: %s: line %lu: %s\n", path,
              (unsigned long)XML_GetCurrentLineNumber(parser),
              XML_ErrorString(XML_GetErrorCode(parser)));
      ok = 0;
      break;
    }
    total += (long long)got;
    if (last) break;
  }
  if (ok && ferror(file)) {
    fprintf(stderr, "expat_floor: cannot read %s\n", path);
    ok = 0;
  }
  XML_ParserFree(parser);
  fclose(file);
  return ok ? total : -1;
}

int main(int argc, char** argv) {
  long long bytes = 0;
  for (int i = 1; i < argc; ++i) {
    const long long size = parseFile(argv[i]);
    if (size < 0) return 1;
    bytes += size;
  }
  printf("bytes=%lld elements=%llu\n", bytes, elements);
  return 0;
}
