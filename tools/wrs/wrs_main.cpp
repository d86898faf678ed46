// dravo-wrs command line.
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/wrs/wrs.h"

static const char usage_text[] =
    "usage: dravo-wrs COMMAND ARGUMENTS\n"
    "\n"
    "Resource archives (.WRS) of MIRDAL 3 games.\n"
    "\n"
    "commands:\n"
    "  list ARCHIVE                     every entry with its packed and unpacked size\n"
    "  extract [-C DIR] ARCHIVE [NAME...]\n"
    "                                   write the entries (all, or those named) into the\n"
    "                                   current folder, or into DIR\n"
    "  pack ARCHIVE FILE...             make a new archive of the files; entry names are the\n"
    "                                   files' own names, which must be DOS 8.3 names\n"
    "  verify ARCHIVE                   check that every entry decodes to its unpacked size\n"
    "  --help                           this text\n"
    "\n"
    "Exit status: 0 done, 1 a command failed, 2 the command line is wrong.\n";

static int usage_error(const char* message) {
    std::fprintf(stderr, "dravo-wrs: %s\n\n%s", message, usage_text);
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage_error("no command given");
    const char* command = argv[1];
    if (!std::strcmp(command, "--help") || !std::strcmp(command, "-h") || !std::strcmp(command, "help")) {
        std::fputs(usage_text, stdout);
        return 0;
    }
    std::vector<const char*> args;
    const char* out_dir = nullptr;
    for (int i = 2; i < argc; i++) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(usage_text, stdout);
            return 0;
        }
        if (!std::strcmp(command, "extract") && !std::strcmp(argv[i], "-C")) {
            if (i + 1 >= argc) return usage_error("-C needs a folder");
            out_dir = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    if (!std::strcmp(command, "list") || !std::strcmp(command, "verify")) {
        if (args.size() != 1) return usage_error("give exactly one archive");
        return command[0] == 'l' ? wrs_list(args[0]) : wrs_verify(args[0]);
    }
    if (!std::strcmp(command, "extract")) {
        if (args.empty()) return usage_error("extract needs an archive");
        return wrs_extract(args[0], out_dir, args.data() + 1, int(args.size()) - 1);
    }
    if (!std::strcmp(command, "pack")) {
        if (args.size() < 2) return usage_error("pack needs an archive and at least one file");
        return wrs_pack(args[0], args.data() + 1, int(args.size()) - 1);
    }
    char message[128];
    std::snprintf(message, sizeof message, "unknown command \"%s\"", command);
    return usage_error(message);
}
