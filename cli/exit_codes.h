#ifndef TELVANECLI_CLI_EXIT_CODES_H
#define TELVANECLI_CLI_EXIT_CODES_H

// The exit codes of the process and the fixed texts that go with them.
// Scripts tell outcomes apart by these numbers, so they never change.
// Texts with a "%c", "%x" or "%s" are printf formats for the one argument
// of their message.
namespace cli {

enum ExitCode : int {
  kExitSuccess = 0,             // report complete; -h; -v
  kExitCimFailure = 1,          // connection check: any other CIM client failure
  kExitUnreachable = 2,         // connection check: refused or timed out
  kExitAuthentication = 3,      // connection check: credentials rejected
  kExitHttpFailure = 4,         // connection check: any other HTTP failure
  kExitSocketFailure = 5,       // connection check: any other socket or TLS failure;
                                // a --cacert file that cannot be used
  kExitWriteFailure = 6,        // the report could not be written
  kExitIncomplete = 7,          // report written, but a class was lost
  kExitMissingValue = 10,       // an option that takes a value got none
  kExitMissingOption = 11,      // -s or -u missing
  kExitUnprintableOption = 12,  // unknown short option, not printable
  kExitInvalidOption = 13,      // unknown short option, printable
  kExitInvalidSyntax = 14,      // leftover argument, bad -f value
};

// Connection check, on standard output.
inline constexpr const char kMessageUnreachable[] = "Error: Unable to connect to server.\n";
inline constexpr const char kMessageAuthentication[] =
    "Error: Authentication failure, invalid username or password.\n";
inline constexpr const char kMessageFailure[] = "Error: %s\n";
// Before connecting, when --cacert names a file that cannot serve: the path
// and the reason.
inline constexpr const char kMessageCaCertificates[] =
    "Error: Unable to use the CA certificates in '%s': %s.\n";

// Report writing, on standard error: the path or the system's reason.
inline constexpr const char kMessageWriteFailureFile[] =
    "Error: Unable to write the report to '%s': %s.\n";
inline constexpr const char kMessageWriteFailureConsole[] =
    "Error: Unable to write the report to standard output: %s.\n";

// Misuse, on standard error after the version and usage texts.
inline constexpr const char kMessageMissingValue[] = "\nOption -%c requires an argument.\n";
inline constexpr const char kMessageMissingCaCertificates[] =
    "\nOption --cacert requires an argument.\n";
inline constexpr const char kMessageMissingOption[] = "\nArgument -%c is required.\n";
inline constexpr const char kMessageUnprintableOption[] = "\nUnknown option character '\\x%x'.\n";
inline constexpr const char kMessageInvalidOption[] = "\nInvalid option '-%c'.\n";
inline constexpr const char kMessageInvalidSyntax[] = "\nInvalid argument syntax entered.\n";
inline constexpr const char kMessageInvalidArgument[] = "\nInvalid argument for option '-%c'.\n";

}  // namespace cli

#endif  // TELVANECLI_CLI_EXIT_CODES_H
