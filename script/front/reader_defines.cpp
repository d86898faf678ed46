// Defines and the preprocessor of the script reader: whole-token defines kept in a small
// hash table (looked up for every word token, so the lookup must not allocate), and the
// conditional sections ifdef / ifndef / ifelse / endif.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"

namespace {

constexpr int bucket_count = 256;

struct DefineTable {
    std::vector<Define> entries;  // slots; a slot with a null name is free
    std::vector<int> free_slots;
    int buckets[bucket_count];
    int count = 0;
    DefineTable() { std::memset(buckets, -1, sizeof buckets); }
};
DefineTable defines;

inline unsigned upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

unsigned hash_name(const char* s, int length) {
    unsigned h = 2166136261u;
    for (int i = 0; i < length; i++) h = (h ^ upper(uint8_t(s[i]))) * 16777619u;
    return h & (bucket_count - 1);
}

bool same_name(const char* a, int length, const char* b) {
    for (int i = 0; i < length; i++)
        if (upper(uint8_t(a[i])) != upper(uint8_t(b[i])) || !b[i]) return false;
    return b[length] == 0;
}

int find_slot(const char* name, int length, int* bucket_out = nullptr) {
    unsigned b = hash_name(name, length);
    if (bucket_out) *bucket_out = int(b);
    for (int i = defines.buckets[b]; i >= 0; i = defines.entries[size_t(i)].next)
        if (same_name(name, length, defines.entries[size_t(i)].name)) return i;
    return -1;
}

char* copy_text(const char* text) {
    size_t n = std::strlen(text);
    char* c = static_cast<char*>(std::malloc(n + 1));
    if (c) std::memcpy(c, text, n + 1);
    return c;
}

void remove_slot(int slot) {
    Define& d = defines.entries[size_t(slot)];
    unsigned b = hash_name(d.name, int(std::strlen(d.name)));
    int* link = &defines.buckets[b];
    while (*link >= 0 && *link != slot) link = &defines.entries[size_t(*link)].next;
    if (*link == slot) *link = d.next;
    std::free(d.name);
    std::free(d.value);
    d = Define{nullptr, nullptr, 0, 0, -1};
    defines.free_slots.push_back(slot);
    defines.count--;
}

bool same_keyword(const char* a, const char* keyword) {
    for (; *keyword; a++, keyword++)
        if (upper(uint8_t(*a)) != uint8_t(*keyword)) return false;
    return *a == 0;
}

}  // namespace

// The token's replacement when it names a define (its kind then becomes the define's kind).
const char* substitute_define(const Token& t, int* kind) {
    if (defines.count == 0) return t.text;
    int slot = find_slot(t.text, t.length);
    if (slot < 0) return t.text;
    const Define& d = defines.entries[size_t(slot)];
    *kind = d.kind;
    return d.value;
}

bool define(const char* name, const char* value, int kind, int origin) {
    if (!name || !*name) return false;
    if (!value) value = name;
    int bucket = 0;
    int slot = find_slot(name, int(std::strlen(name)), &bucket);
    if (slot >= 0) {
        Define& d = defines.entries[size_t(slot)];
        if (d.origin == DEFINE_COMMAND_LINE && origin != DEFINE_COMMAND_LINE) return false;
        char* v = copy_text(value);
        if (!v) return false;
        std::free(d.value);
        d.value = v;
        d.kind = kind == TOKEN_STRING ? TOKEN_STRING : TOKEN_WORD;
        d.origin = origin;
        return true;
    }
    Define d{copy_text(name), copy_text(value), kind == TOKEN_STRING ? TOKEN_STRING : TOKEN_WORD, origin,
             defines.buckets[bucket]};
    if (!d.name || !d.value) {
        std::free(d.name);
        std::free(d.value);
        return false;
    }
    if (!defines.free_slots.empty()) {
        slot = defines.free_slots.back();
        defines.free_slots.pop_back();
        defines.entries[size_t(slot)] = d;
    } else {
        slot = int(defines.entries.size());
        defines.entries.push_back(d);
    }
    defines.buckets[bucket] = slot;
    defines.count++;
    return true;
}

void undefine(const char* name) {
    if (!name) return;
    int slot = find_slot(name, int(std::strlen(name)));
    if (slot >= 0) remove_slot(slot);
}

bool is_defined(const char* name) { return name && find_slot(name, int(std::strlen(name))) >= 0; }

const Define* find_define(const char* name) {
    if (!name) return nullptr;
    int slot = find_slot(name, int(std::strlen(name)));
    return slot >= 0 ? &defines.entries[size_t(slot)] : nullptr;
}

int define_count() { return defines.count; }

void drop_defines(int mode) {
    for (size_t i = 0; i < defines.entries.size(); i++) {
        const Define& d = defines.entries[i];
        if (!d.name) continue;
        bool drop = mode == 0 ? d.origin != DEFINE_COMMAND_LINE : mode == 2 ? d.origin == DEFINE_SCOPED : true;
        if (drop) remove_slot(int(i));
    }
}

// The command-line defines, copied aside and back by the map-name reading.
struct SavedDefine {
    char* name;
    char* value;
    int kind;
    int origin;
};

void* set_defines_aside() {
    auto* saved = new std::vector<SavedDefine>;
    for (const Define& d : defines.entries)
        if (d.name) saved->push_back({copy_text(d.name), copy_text(d.value), d.kind, d.origin});
    // Replaced by copies of the command-line defines.
    for (size_t i = 0; i < defines.entries.size(); i++)
        if (defines.entries[i].name && defines.entries[i].origin != DEFINE_COMMAND_LINE) remove_slot(int(i));
    return saved;
}

void bring_defines_back(void* handle) {
    auto* saved = static_cast<std::vector<SavedDefine>*>(handle);
    drop_defines(1);
    for (SavedDefine& s : *saved) {
        if (s.name && s.value) define(s.name, s.value, s.kind, s.origin);
        std::free(s.name);
        std::free(s.value);
    }
    delete saved;
}

// ---- Preprocessor -----------------------------------------------------------------------

static void reset_conditions() {
    reader.condition_top = 0;
    reader.conditions[0] = 0;
}

// The name after ifdef / ifndef / DEFINE / UNDEF, taken without substitution.
static const char* raw_name(int* kind) {
    bool raw = reader.raw_tokens;
    reader.raw_tokens = true;
    const char* t = nullptr;
    require_token(&t);
    if (kind) *kind = reader.token_kind;
    reader.raw_tokens = raw;
    return t;
}

int preprocess(const char* keyword) {
    Reader& r = reader;
    if (!keyword) return 0;
    switch (upper(uint8_t(keyword[0]))) {
    case 'E':
        if (same_keyword(keyword, "ENDIF")) {
            if (r.condition_top == 0) {
                reader_report_error();  // an endif with no open ifdef
                reset_conditions();
            } else {
                r.condition_top--;
            }
            return 1;
        }
        break;
    case 'I':
        if (same_keyword(keyword, "IFELSE")) {
            if (r.condition_top == 0) {
                // An ifelse with no open ifdef: reported; the bottom level stays active.
                reader_report_error();
                reset_conditions();
                return 1;
            }
            uint8_t below = r.conditions[r.condition_top - 1];
            uint8_t current = r.conditions[r.condition_top];
            r.conditions[r.condition_top] = (below || current == 0) ? 1 : 0;
            return 1;
        }
        if (same_keyword(keyword, "IFDEF") || same_keyword(keyword, "IFNDEF")) {
            bool want = upper(uint8_t(keyword[2])) == 'D';
            const char* name = raw_name(nullptr);
            if (r.condition_top >= max_condition_levels) {
                reader_report_error();  // nested too deeply
                reset_conditions();
                return 1;
            }
            bool defined = name && is_defined(name);
            uint8_t level = (r.conditions[r.condition_top] == 0 && defined == want) ? 0 : 1;
            r.conditions[++r.condition_top] = level;
            return 1;
        }
        break;
    default:
        break;
    }
    if (r.conditions[r.condition_top] != 0) return 1;  // a skipped section drops everything else
    switch (upper(uint8_t(keyword[0]))) {
    case 'D':
        if (same_keyword(keyword, "DEFINE")) {
            int kind = TOKEN_WORD;
            const char* name = raw_name(nullptr);
            if (!name) return 1;
            bool raw = r.raw_tokens;
            r.raw_tokens = true;
            const char* value = next_token();
            if (value) kind = r.token_kind;
            r.raw_tokens = raw;
            // A protected command-line define of the same name is left as it is.
            int origin = catalogue.scoped ? DEFINE_SCOPED : DEFINE_SCRIPT;
            define(name, value ? value : name, value ? kind : TOKEN_WORD, origin);
            return 1;
        }
        break;
    case 'U':
        if (same_keyword(keyword, "UNDEF")) {
            const char* name = raw_name(nullptr);
            const Define* d = find_define(name);
            // A script does not remove what the command line defined: later scripts of the
            // run (and reloads) still see it.
            if (d && d->origin != DEFINE_COMMAND_LINE) undefine(name);
            return 1;
        }
        break;
    default:
        break;
    }
    return 0;
}
