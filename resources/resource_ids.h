// Identifiers shared by the resource script and the code.
#pragma once

#define IDB_GLYPH_SCAN 101
#define IDB_GLYPH_DELETE 102
#define IDB_GLYPH_STOP 103
#define IDB_GLYPH_SAVE 104
#define IDB_GLYPH_FOLDER 105
#define IDB_GLYPH_QUESTION 106
#define IDB_GLYPH_CLOSE 107
#define IDB_GLYPH_OK 108
