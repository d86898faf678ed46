// A clean catalogue, settings and error store for every catalogue test.
#pragma once

#include <gtest/gtest.h>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_settings();
        load_mode = 0;
        catalogue_reset();
        release_hooks = ReleaseHooks{};
        clear_errors();
        error_store.report_armed = 1;
    }
    void TearDown() override {
        release_hooks = ReleaseHooks{};
        load_mode = 0;
        catalogue_reset();
        reset_settings();
        clear_errors();
    }
    static int errors() { return error_store.error_count; }
};
