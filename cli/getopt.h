#ifndef TELVANECLI_CLI_GETOPT_H
#define TELVANECLI_CLI_GETOPT_H

// A command-line option parser in the manner of getopt_long, with the
// differences this program's users see:
//   - short options follow "-" or "/", long options follow "--" or "/"
//     (the long table is tried first, so "/name" is always a long option);
//   - the argument elements are never reordered: parsing stops at the first
//     element that is not an option;
//   - one short option per element: "-vh" is -v, the "h" is never looked at;
//   - long names match whole and case-sensitively, never abbreviated;
//   - an unrecognised long option ends the parsing (-1) without being consumed.
// The state lives in the four process-wide variables below, so the parser is
// not re-entrant and serves one pass over one argument vector.

// Value of the option just returned; null when it has none. Points into an
// element of the argument vector, so it lives as long as that vector.
extern const char* cli_optarg;
// Index of the next argument element to look at; starts at 1. When a value
// is missing at the very end of the vector it may end up at argc + 1.
extern int cli_optind;
// Non-zero (the start value): the parser prints its own diagnostics to
// standard error. Zero: it stays silent and the caller reports.
extern int cli_opterr;
// The option character (0-255) behind the last '?' or ':' result.
extern int cli_optopt;

enum {
  cli_no_argument = 0,
  cli_required_argument = 1,
  cli_optional_argument = 2,
};

// One record of a long-option table; a record with a null name ends the
// table. The parser always returns `val` for a matched name; `flag` is part
// of the getopt_long record layout and must be null.
struct cli_option {
  const char* name;
  int has_arg;  // cli_no_argument, cli_required_argument or cli_optional_argument
  int* flag;
  int val;
};

// Recognises the element argv[cli_optind] and returns:
//   - the option's code (the letter, or `val` of the long record), with
//     cli_optarg set to its value or null; a long option whose value is
//     missing still returns its code, with cli_optarg null;
//   - '?' for an unknown short option or a short option lacking its required
//     value (':' instead for the latter when optstring begins with ':'),
//     with cli_optopt set to the option character;
//   - -1 when parsing is over: cli_optind >= argc, an element that is not an
//     option, or an unknown long name (cli_optind then stays on it).
// optstring lists short letters, ':' after a letter for a required value,
// "::" for an optional one. A value is taken from the element itself
// ("-shost", "-s:host", "--server=host") or else from the next element
// unless that one is itself an option. argv[argc] must be null. When
// longindex is given it receives the index of the last long record compared
// (the terminating record's after a miss).
int cli_getopt_long(int argc, char* const argv[], const char* optstring, const cli_option* longopts,
                    int* longindex);

// For tests only: puts the four variables back to their start values so one
// process can parse several vectors. The program itself never calls it.
void cli_getopt_reset();

#endif  // TELVANECLI_CLI_GETOPT_H
