// The name table: validation, buckets, declaring, finding and removing names, scoped mode.
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue_internal.h"

NameTable name_table;
Catalogue catalogue;

// Lower-case letters for comparing names without case; every other byte maps to itself.
static const struct LowerTable {
    unsigned char map[256];
    constexpr LowerTable() : map() {
        for (int i = 0; i < 256; i++) map[i] = (unsigned char)(i >= 'A' && i <= 'Z' ? i + 32 : i);
    }
} lower;

static bool same_name(const char* a, const char* b) {
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    while (lower.map[*x] == lower.map[*y]) {
        if (*x == 0) return true;
        x++;
        y++;
    }
    return false;
}

// FNV-1a over the name in lower case.
static uint32_t name_hash(const char* name) {
    uint32_t h = 2166136261u;
    for (const unsigned char* p = (const unsigned char*)name; *p; p++) h = (h ^ lower.map[*p]) * 16777619u;
    return h;
}

int name_bucket(const char* name) {
    int sum = 0;
    const unsigned char* p = (const unsigned char*)name;
    for (int i = 0; i < 20 && p[i]; i++) sum += lower.map[p[i]];
    if (sum > NAME_BUCKETS) sum -= NAME_BUCKETS;
    return sum > NAME_BUCKETS - 1 ? NAME_BUCKETS - 1 : sum;
}

int check_name(const char* name) {
    catalogue.bad_char = 0;
    if (!name || !*name) return -1;
    int length = 0;
    for (const char* p = name; *p; p++, length++) {
        char c = *p;
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            catalogue.bad_char = c;
            return -1;
        }
    }
    if (length > NAME_MAX_LENGTH && !settings.compat368) return -1;
    return 0;
}

static bool make_buckets() {
    if (name_table.buckets) return true;
    name_table.buckets = (NameEntry**)std::calloc(NAME_BUCKETS, sizeof(NameEntry*));
    return name_table.buckets != nullptr;
}

static NameEntry* bucket_head(const char* name) {
    return name_table.buckets ? name_table.buckets[name_bucket(name)] : nullptr;
}

// The first visible entry of the name with this scope number.
static NameEntry* visible_in_scope(const char* name, int32_t scope) {
    uint32_t h = name_hash(name);
    for (NameEntry* e = bucket_head(name); e; e = e->next)
        if (e->hash == h && !(e->flags & NAME_HIDDEN) && e->scope == scope && same_name(e->name, name)) return e;
    return nullptr;
}

// The first visible entry in lookup order: the current scope in scoped mode, then global.
static NameEntry* visible_entry(const char* name) {
    if (catalogue.scoped) {
        if (NameEntry* e = visible_in_scope(name, catalogue.scope)) return e;
    }
    return visible_in_scope(name, 0);
}

// The entry of this kind (hidden ones too), in the same scope order.
static NameEntry* entry_of_kind(const char* name, int32_t kind) {
    NameEntry* global = nullptr;
    uint32_t h = name_hash(name);
    for (NameEntry* e = bucket_head(name); e; e = e->next) {
        if (e->hash != h || e->kind != kind || !same_name(e->name, name)) continue;
        if (catalogue.scoped && e->scope == catalogue.scope) return e;
        if (e->scope == 0 && !global) global = e;
    }
    return global;
}

// Whether an entry of kind `have` serves a request for kind `want`.
static bool kind_fits(int32_t have, int32_t want) {
    if (want == KIND_NONE || have == want) return true;
    return want == KIND_OBJECT && (have == KIND_WALL || have == KIND_THING);
}

// Rank of a kind when v308 lets names of different kinds coexist.
static int kind_rank(int32_t kind) {
    if (kind >= 1 && kind <= 4) return 4;
    if (kind == KIND_SKILL) return 3;
    if (kind == KIND_ACTION || kind == KIND_SYNONYM) return 2;
    if (kind == KIND_WAY) return 0;
    return 1;
}

static NameEntry* new_entry(const char* name, int32_t kind, void* object, bool hidden) {
    size_t length = std::strlen(name);
    NameEntry* e = (NameEntry*)std::malloc(sizeof(NameEntry) + length + 1);
    if (!e) return nullptr;
    e->name = (char*)(e + 1);
    std::memcpy(e->name, name, length + 1);
    e->flags = hidden ? NAME_HIDDEN : 0;
    e->kind = kind;
    e->object = object;
    e->scope = catalogue.scoped ? catalogue.scope : 0;
    e->hash = name_hash(name);
    NameEntry** head = &name_table.buckets[name_bucket(name)];
    e->next = *head;
    *head = e;
    name_table.entry_count++;
    return e;
}

int declare_name(const char* name, int32_t kind, void* object) {
    catalogue.current_entry = nullptr;
    if (!make_buckets()) return -2;
    if (check_name(name) != 0) {
        report_error("declare_name");
        return -1;
    }
    bool by_kind = settings.v308 && kind != KIND_NONE;
    NameEntry* found = by_kind ? entry_of_kind(name, kind) : visible_entry(name);
    bool hidden = false;
    if (by_kind && !found) {
        // Another kind may own the name: the higher rank stays visible.
        NameEntry* other = visible_entry(name);
        if (other && other->object && other->kind != kind) {
            if (kind_rank(other->kind) < kind_rank(kind))
                other->flags |= NAME_HIDDEN;
            else
                hidden = true;
        }
    } else if (found && found->object && found->kind != kind) {
        report_error("declare_name");
        return -1;
    }
    if (found) {
        bool private_copy = catalogue.scoped && kind != KIND_REGION && kind != KIND_ACTION &&
                            found->scope != catalogue.scope;
        if (!private_copy) {
            catalogue.current_entry = found;
            return -1;
        }
    }
    NameEntry* e = new_entry(name, kind, object, hidden);
    if (!e) return -2;
    catalogue.current_entry = e;
    return 0;
}

// Lookup order of find_name; null when the name is not there.
static NameEntry* lookup(const char* name, int32_t kind) {
    if (!name_table.buckets || check_name(name) != 0) return nullptr;
    if (settings.v308 && kind != KIND_NONE) {
        NameEntry* e = entry_of_kind(name, kind);
        if (!e && kind == KIND_OBJECT) {
            e = entry_of_kind(name, KIND_WALL);
            if (!e) e = entry_of_kind(name, KIND_THING);
        }
        if (e) return e;
        return visible_entry(name);  // a kind mismatch is still reported
    }
    // The kind the action compiler expects wins even over a higher-ranked name (v308).
    if (catalogue.preferred_kind != KIND_NONE) {
        if (NameEntry* e = entry_of_kind(name, catalogue.preferred_kind)) return e;
    }
    return visible_entry(name);
}

// find_name with the outcome: 0 found, 1 missing (no entry or no object yet), 2 kind clash
// (reported).
static NameEntry* find_name_status(const char* name, int32_t kind, int* status) {
    NameEntry* e = lookup(name, kind);
    if (!e || !e->object) {
        *status = 1;
        return nullptr;
    }
    e->flags |= NAME_REFERENCED;
    if (!kind_fits(e->kind, kind)) {
        report_error("find_name");
        *status = 2;
        return nullptr;
    }
    *status = 0;
    return e;
}

NameEntry* find_name(const char* name, int32_t kind) {
    int status;
    return find_name_status(name, kind, &status);
}

void* find_object(const char* name, int32_t kind) {
    int status;
    NameEntry* e = find_name_status(name, kind, &status);
    if (status == 1) report_error("find_object");
    return e ? e->object : nullptr;
}

NameEntry* find_name_of_kind(const char* name, int32_t kind) {
    if (!name_table.buckets || check_name(name) != 0) return nullptr;
    return entry_of_kind(name, kind);
}

NameEntry* lookup_name(const char* name) {
    if (!name_table.buckets || check_name(name) != 0) return nullptr;
    return visible_entry(name);
}

// Unlinks an entry from its bucket and frees it (not its object).
static void unlink_entry(NameEntry* target) {
    NameEntry** link = &name_table.buckets[name_bucket(target->name)];
    while (*link && *link != target) link = &(*link)->next;
    if (!*link) return;
    *link = target->next;
    name_table.entry_count--;
    std::free(target);
}

void remove_name(const char* name, bool free_object) {
    NameEntry* e = lookup_name(name);
    if (!e) return;
    int32_t kind = e->kind;
    void* object = e->object;
    if (catalogue.current_entry == e) catalogue.current_entry = nullptr;
    unlink_entry(e);
    if (free_object && object) {
        unlink_record(kind, object);
        free_record(kind, object);
    }
}

// Removes every entry for which `drop` answers true; frees the bucket table when none is
// left. Used by the release.
void remove_names_where(bool (*drop)(const NameEntry*, uint32_t), uint32_t categories) {
    if (!name_table.buckets) return;
    for (int b = 0; b < NAME_BUCKETS; b++) {
        NameEntry** link = &name_table.buckets[b];
        while (*link) {
            NameEntry* e = *link;
            if (drop(e, categories)) {
                *link = e->next;
                name_table.entry_count--;
                if (catalogue.current_entry == e) catalogue.current_entry = nullptr;
                std::free(e);
            } else {
                link = &e->next;
            }
        }
    }
    if (name_table.entry_count == 0) {
        std::free(name_table.buckets);
        name_table.buckets = nullptr;
    }
}

// Removes the entries whose object is this record (a skill or string freed by its list);
// `name` is the record's name (its entry's text) or null, which searches every bucket.
void remove_names_of_object(const char* name, const void* object) {
    if (!name_table.buckets || !object) return;
    int first = name ? name_bucket(name) : 0;
    int last = name ? first : NAME_BUCKETS - 1;
    for (int b = first; b <= last; b++) {
        NameEntry** link = &name_table.buckets[b];
        while (*link) {
            NameEntry* e = *link;
            if (e->object == object) {
                *link = e->next;
                name_table.entry_count--;
                if (catalogue.current_entry == e) catalogue.current_entry = nullptr;
                std::free(e);
            } else {
                link = &e->next;
            }
        }
    }
}

int32_t begin_scope() {
    catalogue.last_scope++;
    set_scope(catalogue.last_scope);
    return catalogue.last_scope;
}

void end_scope() {
    catalogue.scoped = 0;
    catalogue.scope = 0;
}

void set_scope(int32_t scope) {
    catalogue.scoped = scope != 0;
    catalogue.scope = scope;
}
