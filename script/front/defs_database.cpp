// The DATABASE and DATAVIEW blocks, and the reading of a database's data file at the end of
// its block: one row per non-empty line, one field per column, each row read in a catalogue
// scope of its own so that the names its fields make do not meet the script's or another
// row's; a row whose fields are all good is built from its template.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "resources/archive.h"
#include "script/front/defs_internal.h"
#include "script/front/reader_io.h"

namespace {

Database* database_target;
constexpr int MAX_ROWS = 1000000;
DataView* dataview_target;

// ---- DATABASE fields ----------------------------------------------------------------------

enum DatabaseCode { D_DATAFILE, D_SEPARATOR, D_BUILDING, D_POS_X, D_POS_Y, D_STRING, D_BMAP, D_FLIC, D_SOUND };
const KeywordRow database_rows[] = {
    {"DATAFILE", D_DATAFILE}, {"SEPARATOR", D_SEPARATOR}, {"BUILDING", D_BUILDING},
    {"POS_X", D_POS_X},       {"POS_Y", D_POS_Y},         {"STRING", D_STRING},
    {"BMAP", D_BMAP},         {"FLIC", D_FLIC},           {"SOUND", D_SOUND},
};
KeywordTable database_table = KEYWORD_TABLE(database_rows);

int add_column(Database* d, int32_t kind, const char* name) {
    if (d->column_count >= 1024) return field_error("database_field");
    DataColumn* grown = (DataColumn*)std::realloc(d->columns, sizeof(DataColumn) * size_t(d->column_count + 1));
    if (!grown) return field_error("database_field");
    d->columns = grown;
    DataColumn& c = d->columns[d->column_count];
    std::memset(&c, 0, sizeof c);
    std::snprintf(c.name, sizeof c.name, "%s", name);
    c.kind = kind;
    c.index = d->column_count++;
    return 1;
}

int database_field_body(const char* keyword) {
    int code = find_keyword(database_table, keyword);
    if (code < 0) {
        console_message("\r\n  DATABASE: %s is no database field or column", keyword);
        return field_error("database_field");
    }
    Database* d = database_target;
    if (!d) return -3;
    switch (code) {
    case D_DATAFILE: {
        const char* file = nullptr;
        if (take_file(&file) < 0) return -1;
        if (std::strlen(file) > 12) {
            console_message("\r\n  DATAFILE: a data file name has at most 12 characters");
            return field_error("database_field");
        }
        std::snprintf(d->data_file, sizeof d->data_file, "%s", file);
        return 1;
    }
    case D_SEPARATOR: {
        const char* text = nullptr;
        if (take_token(&text) < 0) return -1;
        size_t length = std::strlen(text);
        if (!token_is_string() || length < 1 || length > 7) {
            console_message("\r\n  SEPARATOR: a string of 1 ... 7 characters, the first of which separates fields");
            return field_error("database_field");
        }
        d->separator = text[0];
        return 1;
    }
    case D_BUILDING: return add_column(d, COLUMN_BUILDING, "BUILDING");
    case D_POS_X: return add_column(d, COLUMN_POS_X, "POS_X");
    case D_POS_Y: return add_column(d, COLUMN_POS_Y, "POS_Y");
    default: {
        const char* name = nullptr;
        if (take_token(&name) < 0) return -1;
        if (check_name(name) != 0) {
            console_message("\r\n  DATABASE: %s is no valid column name", name);
            return field_error("database_field");
        }
        int32_t kind = code == D_STRING ? COLUMN_STRING : code == D_BMAP ? COLUMN_BMAP
                       : code == D_FLIC ? COLUMN_FLIC : COLUMN_SOUND;
        return add_column(d, kind, name);
    }
    }
}

int database_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(database_field_body(keyword), before);
}

// ---- The data file --------------------------------------------------------------------------

// While the data file is read, reports point at it: the reader's file name, line count and
// statement text stand for the data file, its line and the line's text, and are restored
// afterwards.
struct SavedReaderContext {
    char file_name[sizeof reader.file_name];
    const char* script_file;
    int line_number;
    int statement_length;
    char statement_text[statement_text_size];
};
SavedReaderContext saved_context;

void enter_data_file(const char* name) {
    SavedReaderContext& s = saved_context;
    std::memcpy(s.file_name, reader.file_name, sizeof s.file_name);
    s.script_file = error_context.script_file;
    s.line_number = reader.line_number;
    s.statement_length = reader.statement_length;
    std::memcpy(s.statement_text, reader.statement_text, size_t(reader.statement_length) + 1);
    std::snprintf(reader.file_name, sizeof reader.file_name, "%s", name);
    error_context.script_file = reader.file_name;
    reader.line_number = 0;
}

void data_line(int line, const char* begin, const char* end) {
    reader.line_number = line;
    int n = int(end - begin);
    if (n > statement_text_size - 1) n = statement_text_size - 1;
    std::memcpy(reader.statement_text, begin, size_t(n));
    reader.statement_text[n] = 0;
    reader.statement_length = n;
    error_context.script_line = line;
    error_context.script_statement = reader.statement_text;
}

void leave_data_file() {
    SavedReaderContext& s = saved_context;
    std::memcpy(reader.file_name, s.file_name, sizeof s.file_name);
    error_context.script_file = s.script_file;
    reader.line_number = s.line_number;
    reader.statement_length = s.statement_length;
    std::memcpy(reader.statement_text, s.statement_text, size_t(s.statement_length) + 1);
    error_context.script_line = reader.line_number;
    error_context.script_statement = reader.statement_text;
}

inline bool line_break(char c) { return c == '\n' || c == '\t' || c == '\r' || c == '\b' || c == '\f'; }

void trim(char** begin, char** end) {
    while (*begin < *end && **begin == ' ') (*begin)++;
    while (*end > *begin && (*end)[-1] == ' ') (*end)--;
}

// One field of a row into its column. 0, or -1 (the caller reports the field).
int parse_field(Database* d, DataRow* row, const DataColumn& column, char* begin, char* end) {
    char saved = *end;
    *end = 0;
    int result = 0;
    int before = error_store.error_count;
    char* text = begin;
    if (column.kind != COLUMN_STRING) {
        char* e = end;
        trim(&text, &e);
        *e = 0;
    }
    switch (column.kind) {
    case COLUMN_BUILDING:
        if (std::strlen(text) > 12) result = -1;
        else std::snprintf(row->template_name, sizeof row->template_name, "%s", text);
        break;
    case COLUMN_POS_X:
    case COLUMN_POS_Y: {
        char* stop = nullptr;
        double v = std::strtod(text, &stop);
        if (stop == text || *stop) result = -1;
        else (column.kind == COLUMN_POS_X ? row->pos_x : row->pos_y) = v;
        break;
    }
    case COLUMN_STRING:
        if (define_string(column.name, text) < 0) result = -1;
        else row->values[column.index] = defined_object(column.name, KIND_STRING);
        break;
    case COLUMN_BMAP:
        if (define_bitmap(column.name, text, 0, 0, 0, 0) < 0) result = -1;
        else row->values[column.index] = defined_object(column.name, KIND_BMAP);
        break;
    case COLUMN_FLIC:
        if (define_flic(column.name, text) < 0) result = -1;
        else row->values[column.index] = defined_object(column.name, KIND_FLIC);
        break;
    default:  // COLUMN_SOUND
        if (define_sound(column.name, text, 0) < 0) result = -1;
        else row->values[column.index] = defined_object(column.name, KIND_SOUND);
        break;
    }
    (void)d;
    *end = saved;
    // A field that failed without a report of its own still counts once.
    if (result < 0 && error_store.error_count == before) field_error("parse_field");
    return result;
}

void free_row(DataRow* row) {
    std::free(row->values);
    std::free(row);
}

void free_rows(Database* d) {
    while (d->rows) {
        DataRow* next = d->rows->next;
        free_row(d->rows);
        d->rows = next;
    }
    d->row_count = 0;
}

// Reads every line of the data file into rows, in the order of the file. Reading stops after
// the first line with an error (its row is removed).
void read_data_file(Database* d) {
    int32_t size = 0;
    char* text = (char*)load_resource(d->data_file, &size);
    if (!text) {
        console_message("\r\ndravo: cannot read the data file \"%s\"", d->data_file);
        field_error("read_data_file");
        return;
    }
    free_rows(d);

    enter_data_file(d->data_file);

    DataRow** tail = &d->rows;
    int line = 0;
    int ordinal = 0;
    char* p = text;
    char* const stop = text + size;
    bool failed = false;
    while (p < stop && !failed) {
        while (p < stop && line_break(*p)) p++;
        if (p >= stop) break;
        char* begin = p;
        while (p < stop && !line_break(*p)) p++;
        char* end = p;
        line++;
        ordinal++;
        data_line(line, begin, end);
        // Each row has a scope number of its own (ordinal x 100 + the database's number).
        if (ordinal > MAX_ROWS) {
            console_message("\r\n  DATABASE %s: more than %d rows", d->name ? d->name : "", MAX_ROWS);
            field_error("read_data_file");
            break;
        }

        DataRow* row = (DataRow*)std::calloc(1, sizeof(DataRow));
        void** values = (void**)std::calloc(size_t(d->column_count > 0 ? d->column_count : 1), sizeof(void*));
        if (!row || !values) {
            std::free(row);
            std::free(values);
            field_error("read_data_file");
            break;
        }
        row->values = values;
        set_scope(ordinal * 100 + d->number);

        int errors_before = error_store.error_count;
        int fields = 0;
        char* f = begin;
        for (;;) {
            char* g = f;
            while (g < end && *g != d->separator) g++;
            if (fields < d->column_count && parse_field(d, row, d->columns[fields], f, g) < 0)
                console_message("\r\nat line %d field %d", line, fields + 1);
            fields++;
            if (g >= end) break;
            f = g + 1;
        }
        if (fields != d->column_count) {
            console_message("\r\nat line %d  fields: %d  expected: %d", line, fields, d->column_count);
            field_error("read_data_file");
        }
        if (error_store.error_count == errors_before && definition_ops.build_row(row) < 0) {
            console_message("\r\nat line %d BUILDING WDL/WMP error", line);
            if (error_store.error_count == errors_before) field_error("build_row");
        }
        end_scope();
        if (error_store.error_count != errors_before) {
            free_row(row);
            failed = true;
        } else {
            *tail = row;
            tail = &row->next;
            d->row_count++;
        }
        refresh_loading_screen();
    }
    std::free(text);
    end_scope();
    definition_ops.finish_database(d);
    leave_data_file();
}

void database_end() {
    Database* d = database_target;
    database_target = nullptr;
    if (!d) return;
    if (!d->data_file[0]) {
        console_message("\r\n  DATABASE %s: a database needs a DATAFILE", d->name ? d->name : "");
        field_error("database_end");
        return;
    }
    read_data_file(d);
}

// ---- DATAVIEW ---------------------------------------------------------------------------------

int dataview_field_body(const char* keyword) {
    bool genius = same_keyword(keyword, "GENIUS");
    if (!genius && !same_keyword(keyword, "DATABASE")) return field_error("dataview_field");
    DataView* v = dataview_target;
    if (!v) return -3;
    if (genius) {
        void* o = nullptr;
        if (take_object(KIND_OBJECT, &o) < 0) return -1;
        v->genius = (MapObject*)o;
        return 1;
    }
    void* d = nullptr;
    if (take_object(KIND_DATABASE, &d) < 0) return -1;
    v->database = (Database*)d;
    return 1;
}

int dataview_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(dataview_field_body(keyword), before);
}

void dataview_end() {
    DataView* v = dataview_target;
    dataview_target = nullptr;
    if (!v) return;
    if (!v->database) {
        console_message("\r\n  DATAVIEW %s: a data view needs a DATABASE", v->name ? v->name : "");
        field_error("dataview_end");
        return;
    }
    // Every row starts selected.
    int32_t rows = v->database->row_count;
    uint8_t* mask = (uint8_t*)std::calloc(size_t(rows > 0 ? rows : 1), 1);
    if (!mask) {
        field_error("dataview_end");
        return;
    }
    std::free(v->selection);
    v->selection = mask;
    v->selection_count = rows;
}

}  // namespace

int open_database(const char* keyword) {
    bool view = same_keyword(keyword, "DATAVIEW");
    database_target = nullptr;
    dataview_target = nullptr;
    if (view) enter_block(STATE_DATABASE, dataview_field, dataview_end);
    else enter_block(STATE_DATABASE, database_field, database_end);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* object = nullptr;
    int before = error_store.error_count;
    if (create_object(name, view ? KIND_DATAVIEW : KIND_DATABASE, &object) < 0 || !object) {
        if (error_store.error_count == before) field_error("open_database");
        return -1;
    }
    if (view) {
        dataview_target = (DataView*)object;
    } else {
        database_target = (Database*)object;
        // A definition declares the columns anew.
        std::free(database_target->columns);
        database_target->columns = nullptr;
        database_target->column_count = 0;
    }
    return 1;
}

void reset_database_blocks() {
    database_target = nullptr;
    dataview_target = nullptr;
}
