// A clean catalogue, settings, error store and world for every world test, and helpers
// that load maps from a description in either form and describe the resulting world.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "world/map_writer.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static int errors();
    // The first error report as the listing prints it ("" when none).
    static std::string reports();

    // Loads a map text (a copy is made) or a binary image under a file name.
    static int load_text(const std::string& text, const char* name = "TEST.WMP");
    static int load_binary(const std::vector<uint8_t>& bytes, const char* name = "TEST.BIN");
    static int load_text(const MapDescription& map, const char* name = "TEST.WMP");
    static int load_binary(const MapDescription& map, const char* name = "TEST.BIN");
    // Forgets the world (and errors) between two loads of one test.
    static void fresh_world();
};

// Every record of the loaded world, one line each, in numbering order: vertices, regions
// (with chains and heights), map objects (kind, identity, flags, vertices, regions, members),
// ways, and the player start.
std::string describe_world();

// Lookups for assertions.
struct Vertex;
struct Region;
struct MapObject;
struct Way;
Region* region_number(int n);
MapObject* object_number(int n);
Vertex* vertex_number(int n);
Way* way_named(const char* name);
