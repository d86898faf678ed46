// Shared set-up of the definitions parser tests: a clean catalogue with the engine variables
// and predefined synonyms, the handlers installed, the console captured, and a fresh game
// folder (the working directory during the test) into which scripts and small images are
// written.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/console.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/world_script.h"

class DefsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads a text through the reading loop (as the file "TEST.WDL" for the reports).
    int read(const std::string& text);
    // Writes a file into the game folder.
    void write(const std::string& name, const std::string& contents) const;
    // Copies a fixture of tests/script/data into the game folder and reads it with read_file.
    int read_fixture(const std::string& name);
    void copy_fixture(const std::string& name) const;

    std::string console() const { return std::string(capture_text, size_t(capture.length)); }
    // The error listing as check_errors_and_stop prints it.
    std::string listing() const;
    static int errors();

    // The object of a name and kind, or null.
    template <typename T>
    static T* get(const char* name, int32_t kind) {
        NameEntry* e = find_name_of_kind(name, kind);
        return e ? static_cast<T*>(e->object) : nullptr;
    }

    std::string folder;
    std::string previous_dir;
    std::vector<char> buffer;
    char capture_text[1 << 16];
    ConsoleCapture capture;
};

// Small image files made here: a raw ".TX" picture whose pixel (x, y) is `first` + x + y *
// width (mod 256), and an 8-bit PCX with a 256-colour palette in which colour i is
// (i, 255 - i, i / 2) in 8-bit components.
std::string tx_image(int width, int height, int first = 1);
std::string pcx_image(int width, int height);

// The default stand-ins of definition_ops, as the parser starts with them.
extern const DefinitionOps stand_in_ops;
