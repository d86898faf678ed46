// Operations the catalogue's own files share (names, records, release); not for others.
#pragma once

#include <cstdint>

#include "script/front/catalogue.h"

void unlink_record(int32_t kind, void* record);
void remove_names_of_object(const char* name, const void* object);
void remove_names_where(bool (*drop)(const NameEntry*, uint32_t), uint32_t categories);
void free_kind_list(int32_t kind);
void free_vertices();
void remove_skill(Skill* skill);
