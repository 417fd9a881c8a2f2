/* zkall.h: the public C interface of ZKALL, the data-access and helper
 * library of the electronic parts catalog.
 *
 * Two kinds of callers use it: the catalog's Visual Basic front end (the
 * functions whose names begin with VB, and the start-up functions, which are
 * standard-call on 32-bit Windows) and the catalog's own programs (the plain
 * exports, cdecl). Every call comes from one thread; nothing is locked.
 *
 * Results are integers: 0 success; -1 nothing (more) found or file missing;
 * 4 the user cancelled the insert-disc prompt; 11 open failed; 12 close or
 * directory listing failed; 13 write failed; 14 read failed or short; 15 seek
 * failed; 16 delete failed; 20 out of memory; 128 a refused request whose
 * detail is an engine code. Failures are logged to ZKERROR.LOG, not shown.
 *
 * Strings of the front end ("VB strings") are byte strings that the front end
 * allocated with a 32-bit byte length stored just before their first byte;
 * the library fills at most that many bytes and never allocates or frees one.
 * A string the library reads (a name, a path, a report's texts) is its bytes
 * up to the first NUL within that length: nothing past the length is read,
 * whether or not a NUL follows.
 *
 * Records shared with callers are an interface. Those laid out byte by byte
 * (the common areas, given with offsets) are declared packed; the others
 * (the image header, the coded-text record, the engine's handle) have the
 * natural C layout of the 32-bit DLL's compiler: each field on a boundary of
 * its own size, a pointer 4 bytes there and 8 on 64-bit builds.
 *
 * Exports (the one list is exports/export_table.txt). On Linux the library
 * is libzkall.so.1 and every function below is exported under its plain
 * name in the version node ZKALL_1.0. The 32-bit DLL ZKALL.dll exports every
 * standard-call function (ZKALL_STDCALL below) under its decorated name,
 * _name@bytes of arguments (_drom_init@0, _VBGetMsg@8), as the front end
 * binds it, and every other function under its plain name.
 *
 * The text utility memmem has the name of a C library function with another
 * contract. The DLL exports it as "memmem". libzkall.so exports it only as
 * the non-default version memmem@ZKALL_1.0: a program linked with -lzkall
 * that calls memmem still gets the C library's, and the catalog's programs
 * find ours with dlvsym(handle, "memmem", "ZKALL_1.0"). C and C++ code that
 * includes <string.h> calls it through its second name zkall_memmem, which
 * both libraries export as well.
 */
#ifndef ZKALL_H
#define ZKALL_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  define ZKALL_STDCALL __stdcall
#  define ZKALL_CDECL __cdecl
#  if defined(ZKALL_BUILDING_LIBRARY) || defined(ZKALL_STATIC_LINK)
/* The DLL's exports are those of its module-definition file, made from
 * exports/export_table.txt, and nothing else. */
#    define ZKALL_API
#  else
#    define ZKALL_API __declspec(dllimport)
#  endif
#else
#  define ZKALL_STDCALL
#  define ZKALL_CDECL
#  if defined(ZKALL_BUILDING_LIBRARY)
#    define ZKALL_API __attribute__((visibility("default")))
#  else
#    define ZKALL_API
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A string of the front end (see above). */
typedef char* zkall_vbstr;

/* ===================================================================== */
/* Common areas                                                            */
/* ===================================================================== */
/* One zero-filled block of 5051 bytes made by set_table (drom_init) and
 * released by free_table (drom_term): the ctop, cnext, cnexta, ccar and cimg
 * areas back to back. Character fields are fixed-width bytes; "text" fields
 * are NUL-terminated within their width; numbers are little-endian.
 *
 * Address fields: on a 32-bit build, msg_table, scr_table and
 * save_data_handle hold the address of the table or stream. On a 64-bit
 * build an address does not fit in 32 bits: the library keeps the pointer
 * itself and the field holds a non-zero value while the table or stream
 * exists and 0 when it does not; callers use get_1stmsg_text and the other
 * accessors instead of the address. */
#pragma pack(push, 1)

/* An entry of the installed-disc table (16 bytes). */
typedef struct zkall_disc {
  char disc_id[2];     /* 0: area letter and second character (directory name) */
  char disc_no[2];     /* 2: disc number from the master file header */
  char date[8];        /* 4: disc date from the master file header */
  char zero_char;      /* 12: the character '0' */
  char header_byte;    /* 13: byte 26 of the master file header */
  uint8_t hd_flag;     /* 14: 1 when the disc's data file is on the hard disk */
  uint8_t unused;      /* 15: not written */
} zkall_disc;

/* The ctop area (3497 bytes): configuration, drives, directories, the
 * installed-disc table and the loaded texts. */
typedef struct zkall_ctop {
  char marker[4];            /*    0: "COMN" */
  char lang[3];              /*    4: data language "01".."09" and NUL */
  char menu_lang[3];         /*    7: menu language, same form */
  uint16_t lang_no;          /*   10 */
  uint16_t menu_lang_no;     /*   12 */
  uint8_t setup_ok;          /*   14: 1 when the installation is usable */
  uint8_t reserved15;        /*   15 */
  uint8_t reserved16[4];     /*   16 */
  uint8_t drive_count_high;  /*   20 */
  uint8_t drive_count;       /*   21: entries of drives, 0..10 */
  char drives[10][2];        /*   22: "D:" ... */
  char ecram_path[64];       /*   42: work directory (path kind 0) */
  char ecmst_path[64];       /*  106: installed catalog directory (kind 1) */
  char ecfil_path[64];       /*  170: library data files (kind 4) */
  char price_path[64];       /*  234: price files (kind 2) */
  char localp_path[64];      /*  298: local-price files (kind 3) */
  char reserved362[64];      /*  362 */
  zkall_disc discs[30];      /*  426: installed-disc table */
  int32_t disc_count;        /*  906 */
  int32_t current_area;      /*  910: 0..3 for E G U J, -1 unknown */
  char ecmstall[4][2];       /*  914: per area a drive letter and NUL */
  char framewld_path[64];    /*  922: world frame-number files (kind 6) */
  char framejpn_path[64];    /*  986: domestic frame-number files (kind 7) */
  char expgpnho[8][256];     /* 1050 */
  char expgfsad[256];        /* 3098 */
  uint8_t reserved3354;      /* 3354 */
  int32_t save_list_flag;    /* 3355: number of the current saved list, 0 none */
  uint32_t save_data_handle; /* 3359: see "Address fields" */
  uint32_t msg_table;        /* 3363: see "Address fields" */
  int16_t msg_count;         /* 3367 */
  uint32_t scr_table;        /* 3369: see "Address fields" */
  int16_t scr_count;         /* 3373 */
  uint8_t reserved3375[122]; /* 3375 */
} zkall_ctop;

/* The cnext area (78 bytes): the menu stack. */
typedef struct zkall_cnext {
  int32_t depth;        /*  0: 0..64 */
  uint8_t menus[64];    /*  4 */
  uint8_t unused[10];   /* 68 */
} zkall_cnext;

/* The cnexta area (500 bytes): the selected figure numbers. */
typedef struct zkall_cnexta {
  uint8_t unused0[4];        /*   0 */
  int16_t figure_count;      /*   4 */
  uint32_t figures[100];     /*   6 */
  uint8_t unused406[94];     /* 406 */
} zkall_cnexta;

/* The ccar area (632 bytes): the current vehicle. */
typedef struct zkall_ccar {
  char catalog_code[6];        /*   0 */
  char unused6[9];             /*   6 */
  char vehicle_data[15];       /*  15 */
  char frame_model[7];         /*  30 */
  char frame_no[7];            /*  37 */
  char ad[6];                  /*  44 */
  char unused50;               /*  50 */
  char colour_no[3];           /*  51 */
  char trim_no[4];             /*  54 */
  char unused58[2];            /*  58 */
  char notes[30];              /*  60 */
  char char1_first[10];        /*  90 */
  char char1_second[10];       /* 100 */
  char char2[46][5];           /* 110 */
  char vehicle_name[20];       /* 340 */
  char unused360[4];           /* 360 */
  char prod_from[4];           /* 364 */
  char prod_to[4];             /* 368 */
  char vin10[10];              /* 372 */
  int32_t abbr_disc;           /* 382: installed disc of the abbreviations */
  int32_t catalog_disc;        /* 386: installed disc of the vehicle's catalog */
  int32_t step_no;             /* 390 */
  char step_codes[218];        /* 394 */
  char model[20];              /* 612 */
} zkall_ccar;

/* The cimg area (344 bytes), left to the callers. */
typedef struct zkall_cimg {
  uint8_t bytes[344];
} zkall_cimg;

/* The whole block (5051 bytes). */
typedef struct zkall_common_block {
  zkall_ctop ctop;     /*    0 */
  zkall_cnext cnext;   /* 3497 */
  zkall_cnexta cnexta; /* 3575 */
  zkall_ccar ccar;     /* 4075 */
  zkall_cimg cimg;     /* 4707 */
} zkall_common_block;

#pragma pack(pop)

/* ===================================================================== */
/* Start-up, common areas and menu stack                                   */
/* ===================================================================== */

/* Starts the library: makes the common areas, reads ZKDROM.SYS from the
 * current directory (which also runs the installed-disc check and completes
 * the price directories), loads the message and screen texts of the menu
 * language, rewrites the selection work file SELECT.TMP as 20000 zero bytes,
 * removes the previous error log and remembers the current directory. 0, or
 * the code of the failed step: 20 when the common areas cannot be had
 * (start-up stops at once), 1 when the message or screen file cannot be
 * loaded. A missing or invalid ZKDROM.SYS is logged and start-up goes on
 * with the defaults and the lines read before the bad one. A failed reset
 * of SELECT.TMP is logged as ZKDROM,select_tmp ("malloc" or
 * "write_select_tmp", site 156) and start-up goes on; since the previous
 * log is removed right after, that line survives only when the removal
 * fails. */
ZKALL_API int32_t ZKALL_STDCALL drom_init(void);
/* Stops the library: removes the work directory's *.TMP files, releases the
 * texts and the common areas. */
ZKALL_API void ZKALL_STDCALL drom_term(void);
/* Makes the directory current that was current at the end of drom_init;
 * non-zero when it was changed, 0 when not. With no saved directory (before
 * the first drom_init, or after a start in a directory whose path has 256
 * characters or more) nothing is changed: 0. */
ZKALL_API int32_t ZKALL_STDCALL drom_set_homedir(void);
/* Re-runs the installed-disc check: 0, or 891 when the installation is not
 * usable (no catalog installed, or an unknown current area). Mode 5 then
 * asks whether a saved list exists (check_save_dat_file_exist): 0 yes; 876
 * none, or no master; 999 the check failed (logged ZKDROM,drom_check_setup,
 * check_save_dat_file_exist, site 807). */
ZKALL_API int32_t ZKALL_STDCALL drom_check_setup(uint16_t mode);
/* Releases the current saved list (reset_save_mst_flag): 0, or its failure
 * code (logged ZKDROM,drom_reset_com,reset_save_mst_flag, site 828). */
ZKALL_API int32_t ZKALL_STDCALL drom_reset_com(void);

/* Makes the zero-filled block of common areas with "COMN" at its start;
 * 0, or -1 when the memory cannot be had. */
ZKALL_API int32_t set_table(void);
/* Releases the block; every area address becomes null. */
ZKALL_API void free_table(void);
/* The address of an area, or null before set_table. */
ZKALL_API zkall_ctop* get_ctop_addr(void);
ZKALL_API zkall_cnext* get_cnext_addr(void);
ZKALL_API zkall_cnexta* get_cnexta_addr(void);
ZKALL_API zkall_ccar* get_ccar_addr(void);
ZKALL_API zkall_cimg* get_cimg_addr(void);

/* Pushes a menu number on the cnext stack (nothing at depth 64 or more). */
ZKALL_API void set_next_menu(uint8_t menu);
/* Pops one menu number (nothing at depth 0). */
ZKALL_API void set_back_menu(void);
/* Empties the menu stack. */
ZKALL_API void set_main_menu(void);

/* ===================================================================== */
/* Configuration and path names                                            */
/* ===================================================================== */
/* ZKDROM.SYS, read by drom_init from the current directory: "KEY=value"
 * lines for ECRAM, ECMST, LANGUAGE, MENULANG, CDROM, ECFIL, PRICE, LOCALP,
 * CRNTAREA, ECMSTALL, FRAMEWLD, FRAMEJPN, EXPGPNHO and EXPGFSAD (the key must
 * match exactly; other keys are ignored; values are upper-cased except
 * EXPGPNHO's). A line without "=" or a value over its limit is logged as
 * ZKDROM,kankyo_set with its error number and site, and ends reading: the
 * installed-disc check and the price directories are then not done. Choices
 * of this library: a text value that fills its whole field (possible only on
 * a last line without a line feed) keeps its first 63 characters and a NUL;
 * the logged value or line is written without its line feed, so every report
 * stays one line of the log; an ECMSTALL item cut short by the end of the
 * line sets nothing. */

/* Path kinds: 0 work directory (ecram_path), 1 installed catalog directory
 * (ecmst_path, then the disc id of discs[index] and a backslash unless index
 * is -1), 2 price_path, 3 localp_path, 4 ecfil_path, 5 the catalog drive
 * drives[index], 6 framewld_path and 7 framejpn_path (each followed by the
 * disc id of discs[index] and a backslash unless index is -1). */

/* Puts the kind's directory in front of the NUL-terminated name in the
 * 80-byte buffer `name`: 0 with the full path NUL-padded to 80 bytes, or 0
 * with the name unchanged for a kind above 7 or an empty directory; -1 with
 * the name unchanged when the full path would exceed 79 characters or when
 * index names no table entry (0..29 for discs, 0..9 for drives). */
ZKALL_API int32_t get_path_name(uint32_t kind, int32_t index, char* name);
/* Completes a price directory field: empty becomes ecmst_path, a drive
 * letter becomes "X:\" and the directory part of ecmst_path. The field
 * always keeps a NUL within `length`. */
ZKALL_API void set_path_name(char* field, int32_t length);
/* Writes the kind's directory with its closing backslash (or nothing) into
 * the front end's string, NUL-padded to its byte length (at most 80 bytes);
 * returns the number of bytes written. */
ZKALL_API int32_t ZKALL_STDCALL VBGetPathName(int16_t kind, zkall_vbstr str);

/* Rebuilds the installed-disc table from the installed directories and the
 * headers of their master files; sets setup_ok. 0, or 11, 12, 14 (logged as
 * module "ZKSUBS01"). Unconfigured directories (ECMST, FRAMEWLD, FRAMEJPN
 * empty) are not listed. */
ZKALL_API int32_t setuped_cd_check(void);

/* ===================================================================== */
/* Message and screen texts, the insert-disc prompt                        */
/* ===================================================================== */
/* ZKDROMnn.MSG (nn: menu language) in the library's data directory: lines
 * of a 3-digit number and the text; a second line of a message is the
 * record right after its first with the same number. ZKDROMnn.SCR in the
 * current directory: a 4-digit number, one separator, the text; "#" lines
 * are comments. On a 64-bit build msg_table and scr_table of the ctop area
 * only say whether a table exists (see "Address fields").
 *
 * The lookup memories (the message get_2ndmsg_text continues, the screen
 * text expected next and its position) belong to the process: set_msg,
 * set_scr and drom_init do not reset them, so after a restart they name a
 * position in the new table, which is used only when it lies inside it. */

/* Loads the message texts (at most 400): 0, or 1 when the file cannot be
 * opened or the table cannot be had. */
ZKALL_API int32_t set_msg(void);
/* Loads the screen texts (at most 500): 0, or 1 likewise. */
ZKALL_API int32_t set_scr(void);
/* Release a table (its count is left as it is). */
ZKALL_API void free_msg(void);
ZKALL_API void free_scr(void);
/* The first line of a message (71 characters blank-filled and a NUL), or
 * null; remembers it for get_2ndmsg_text. */
ZKALL_API const char* get_1stmsg_text(uint16_t number);
/* The second line of the message last found (it must directly follow the
 * first in the file), or null; forgets the message either way. */
ZKALL_API const char* get_2ndmsg_text(void);
/* A screen text (at most 70 characters), or null. Asked in number order,
 * consecutive texts are taken without a search. */
ZKALL_API const char* get_scr_text(uint16_t number);
/* The message into the front end's string: first line, CR LF and second
 * line, each its full 71 characters; the bytes written (at most 148), or 0
 * when the message is unknown. */
ZKALL_API int32_t ZKALL_STDCALL VBGetMsg(int32_t number, zkall_vbstr str);
/* The screen text into the front end's string, NUL-filled to its length;
 * an unknown text leaves the string as it is. */
ZKALL_API void ZKALL_STDCALL VBGetScr(int32_t number, zkall_vbstr str);
/* Shows the "Please Insert CD" box (Retry/Cancel) for message `message`,
 * the drive (-1 or outside the drive table: screen text 111) and the disc
 * (id and number, each may be null): 0 with *answer 1 (Cancel) or 2
 * (Retry); -1 no message, -2 no screen text 111, -3 no second line, -4 the
 * box answered otherwise; failures logged as module "ZKSUBM01". */
ZKALL_API int32_t disp_msgbox(int32_t message, int32_t drive, const char* disc_id, const char* disc_no,
                              int32_t* answer);

/* ===================================================================== */
/* Disc identification and disc switching                                  */
/* ===================================================================== */
/* A catalog disc's label carries the disc date in characters 1-8 and the
 * disc id in 9-10. A disc head is 10 bytes: disc id, then disc date; an
 * all-zero head is a drive without a readable disc. Area letters E G U J
 * are the current areas 0 to 3. */

/* The head of the disc in catalog drive `drive`: 0; 80 not ready; 81 other
 * volume-read failure (detail: system error); 128 for an index that is not
 * one of the configured drives, negative or drive_count and above (detail
 * unchanged): a drive past the configured ones is no drive at all. */
ZKALL_API int32_t cdread_head(int32_t drive, char* head, int32_t* detail);
/* Heads of every catalog drive (not ready: all zero) and then of the discs
 * of `letter` copied to the hard disk (from their root master files), each
 * once, into 11 slots of 10 bytes; empty slots all zero. 0, a volume-read
 * failure, 11 or 14 (a root master file cannot be opened or read). */
ZKALL_API int32_t cdread_head_alldrive(char* heads, char letter, int32_t* detail);
/* The installed-disc indexes of the current area's main discs that are in a
 * drive or on the hard disk, in table order: 0, or the failure above. */
ZKALL_API int32_t cdmake_cdidtbl_alldrive(int32_t* list, int32_t* count, int32_t* detail);
/* Finds the drive (drive, or -1 for every catalog drive) holding disc
 * `disc_id`; a date of "********" accepts only discs older than the main
 * disc of the letter, another date must match over its leading characters,
 * null accepts any. While none holds it the user is asked to insert it
 * (disc_no is only shown). 0 with the drive, the disc's id and date in the
 * given outputs; 4 cancelled; 128 with 2001 (no disc id), 2002 (no main disc
 * for "********"), 2003 (the prompt could not be shown), 2004 (a drive
 * index that is neither -1 nor a configured drive, refused before any
 * label is read); a volume-read failure other than not ready ends the
 * search with that failure (81). Retry sleeps 200 ms and polls the awaited
 * drive (with -1: the first one found not ready) up to three times. */
ZKALL_API int32_t cdset_cd(int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date,
                           int32_t* drive_found, char* id_found, char* date_found, int32_t prompt_kind,
                           int32_t* detail);
/* Message number of the insert-disc prompt: 883 for -4 and -2, 882 for -3
 * and -1, 881 otherwise. */
ZKALL_API int32_t cdmsgid(int32_t prompt_kind);
/* Index of the installed disc with that id (its number into disc_no when
 * given), or -1. */
ZKALL_API int32_t setuped_cdno1_to_cdno2(const char* disc_id, char* disc_no);
/* Index of the installed disc of that letter and number (its id into
 * disc_id when given), or -1 (also for a letter below 33). */
ZKALL_API int32_t setuped_cdno2_to_cdno1(char letter, char* disc_id, const char* disc_no);
/* Index of the main disc of a letter (E and J: second character a digit),
 * or -1. */
ZKALL_API int32_t setuped_top_cdno(char letter);
/* Index of the F/G disc of a letter (E and J: second character F or G), or
 * -1. */
ZKALL_API int32_t setuped_top_fcdno(char letter);
/* The current area's main disc (digit second character): 0 with *found 1
 * and *index, or *found 0 and *index -1; -1 when index is null. */
ZKALL_API int32_t make_setuped_top_cdid_table(int32_t* index, int32_t* found);

/* ===================================================================== */
/* File utilities and list-box helpers                                     */
/* ===================================================================== */
/* The error word receives the system error number of a failing call. */

/* Opens for reading (0x8000), for writing (0x8302, created or emptied) or
 * for reading and writing an existing file (0x8002), through open2: 0, or
 * 11 with the error (the descriptor is stored either way). */
ZKALL_API int32_t open_read(const char* path, int32_t* fd, int32_t* error);
ZKALL_API int32_t open_write(const char* path, int32_t* fd, int32_t* error);
ZKALL_API int32_t open_rdwr(const char* path, int32_t* fd, int32_t* error);
/* Reads record `record` of `length` bytes (error word cleared first): 0, 15
 * seek failed, 14 short or failed read. */
ZKALL_API int32_t direct_read(int32_t fd, int32_t record, void* buf, int32_t length, int32_t* error);
/* Writes record `record`: 0, 15 seek failed, 13 short or failed write. */
ZKALL_API int32_t direct_write(int32_t fd, int32_t record, const void* buf, int32_t length, int32_t* error);
/* Copies source into destination (opened first, created or emptied): 0, 20,
 * 11, 14, 13, or 12 (with the error) when the destination cannot be closed,
 * so what was written may be lost. Both files are closed on every path and
 * leave the handle table even when their close fails (the system has
 * released them). Source and destination naming the same file, under any
 * spelling, case or link, is a copy already made: 0, nothing is opened and
 * the file keeps its bytes. */
ZKALL_API int32_t file_copy(const char* destination, const char* source, int32_t* error);
/* Deletes the files of `directory` matching the DOS pattern ("*.*" when null
 * or blank), at most 10000: 0; 401 no directory; 402 directory and pattern
 * of 80 characters or more. Failed deletions are ignored. */
ZKALL_API int32_t file_remove(const char* directory, const char* pattern);
/* Deselects every line of a list box: the box's answer to the last
 * deselection, or its line count when below 1. */
ZKALL_API int32_t ZKALL_STDCALL VBAllResetListBox(void* box);
/* Fills a list box from the text file named by the front end's string
 * `path`, a line per 127 characters with the last character read dropped:
 * 0, 11 (logged, ZKSUBD01), 14. */
ZKALL_API int32_t ZKALL_STDCALL VBSetListBox(void* box, zkall_vbstr path);
/* Fills a list box from <topic><menu language>.HLP in the library's data
 * directory, a line per 119 characters: 0, 11, 14; logged as ZKSUBH01. A
 * file name of 80 characters or more is refused with 11 (errno EINVAL in
 * the log) before any file is touched; a name that fits alone but not with
 * the directory is opened by its bare name. */
ZKALL_API int32_t ZKALL_STDCALL VBReadHelpFile(void* box, zkall_vbstr topic);

/* ===================================================================== */
/* Item lists and the selection lists                                      */
/* ===================================================================== */
/* An item list is a doubly linked list of heap blocks, the items, each of
 * a size its owner chooses: two links, then the owner's payload. The head
 * and the links are natural C layout (offsets 32-bit|64-bit); the payloads
 * are packed. Items are allocated with the C runtime's malloc and freed
 * with free; callers may walk them along the links but add and remove them
 * only through AddItem, DeleteItem and AllDeleteItem. Items stay in the
 * order they were added. */

typedef struct zkall_item {
  struct zkall_item* prev;  /* 0     previous item, null for the first */
  struct zkall_item* next;  /* 4|8   next item, null for the last */
} zkall_item;               /* 8|16: the payload follows */

typedef struct zkall_item_list {
  zkall_item* first;        /* 0     null when the list is empty */
  zkall_item* last;         /* 4|8   null when the list is empty */
  int16_t count;            /* 8|16  number of items */
} zkall_item_list;          /* 12|24 */
typedef zkall_item_list ItemList;

#pragma pack(push, 1)
/* Payload of the selection list (16 bytes). */
typedef struct zkall_sel_tmp_item {
  uint16_t kind;   /*  0: 0 part name code (6 characters), 1 part number (12) */
  char key[12];    /*  2: the code, left-aligned, blank-padded */
  int16_t value;   /* 14: the caller's number, stored unchanged */
} zkall_sel_tmp_item;
typedef zkall_sel_tmp_item SelTmpItem;

/* Payload of the local-price selection list (20 bytes). */
typedef struct zkall_lcp_tmp_item {
  uint16_t kind;   /*  0: 1 for SetLcpTmp; as read back from LCPSEL.TMP */
  char code[4];    /*  2 */
  char partno[12]; /*  6: part number, blank-padded */
  int16_t value;   /* 18 */
} zkall_lcp_tmp_item;
typedef zkall_lcp_tmp_item LcpTmpItem;

/* Payload of the selected-figure list (4 bytes). */
typedef struct zkall_sel_fgn_item {
  uint32_t figno;  /*  0: compared as one 32-bit word */
} zkall_sel_fgn_item;
typedef zkall_sel_fgn_item SelFgnItem;
#pragma pack(pop)

/* The items of the three lists, as a caller walking them sees them. */
typedef struct zkall_sel_tmp_node {
  zkall_item link;          /* 0 */
  zkall_sel_tmp_item data;  /* 8|16 */
} zkall_sel_tmp_node;       /* 24|32 */
typedef struct zkall_lcp_tmp_node {
  zkall_item link;          /* 0 */
  zkall_lcp_tmp_item data;  /* 8|16 */
} zkall_lcp_tmp_node;       /* 28|40 */
typedef struct zkall_sel_fgn_node {
  zkall_item link;          /* 0 */
  zkall_sel_fgn_item data;  /* 8|16 */
} zkall_sel_fgn_node;       /* 12|24 */

/* Adds an item of `size` bytes (links included) at the end of the list and
 * returns it, its payload not initialised; null, the list unchanged, when
 * memory is exhausted or size is smaller than the two links (or list is
 * null). */
ZKALL_API zkall_item* ZKALL_CDECL AddItem(zkall_item_list* list, int16_t size);
/* Unlinks the item from the list (it must be in it) and frees it. Null
 * arguments do nothing. */
ZKALL_API void ZKALL_CDECL DeleteItem(zkall_item_list* list, zkall_item* item);
/* Frees every item and empties the list; 0. */
ZKALL_API int32_t ZKALL_CDECL AllDeleteItem(zkall_item_list* list);

/* The selection list: at most 1000 entries, duplicates allowed. Its
 * functions report allocation failures as module "ZKSUBF21". */

/* Empties the head without freeing (only for a head that owns nothing); 0. */
ZKALL_API int32_t ZKALL_CDECL InitSelTmp(void);
/* Frees every item; 0. */
ZKALL_API int32_t ZKALL_CDECL TermSelTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBClearSelTmp(void);
/* The list head, for callers that walk the items. */
ZKALL_API zkall_item_list* ZKALL_CDECL GetPtrSelTmp(void);
ZKALL_API int16_t ZKALL_STDCALL VBGetNumSelTmp(void);
/* Adds an entry: a key whose seventh byte is a blank is a part name code
 * (kind 0, its first 6 bytes, then 6 blanks), any other a part number (kind
 * 1, 12 bytes). 0 added; 1 the list holds 1000 entries (or key or value is
 * null), nothing added; 20 out of memory (logged "SetSelTmp","AddItem"). */
ZKALL_API int32_t ZKALL_CDECL SetSelTmp(const char* key, const int16_t* value);
/* The first item whose 12-byte key equals the 12 bytes given, or null. */
ZKALL_API zkall_sel_tmp_node* ZKALL_CDECL SearchSelTmp(const char* key);
/* Removes the first item SearchSelTmp finds, if any. */
ZKALL_API void ZKALL_CDECL DelSelTmp(const char* key);

/* The local-price selection list: at most 1000 entries; module "ZKSUBF23".
 * Mind the argument orders: SetLcpTmp takes the part number first and the
 * code last, SearchLcpTmp and DelLcpTmp the code first. */
ZKALL_API int32_t ZKALL_CDECL InitLcpTmp(void);
ZKALL_API int32_t ZKALL_CDECL TermLcpTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBClearLcpTmp(void);
ZKALL_API zkall_item_list* ZKALL_CDECL GetPtrLcpTmp(void);
ZKALL_API int16_t ZKALL_STDCALL VBGetNumLcpTmp(void);
/* Adds kind 1, the 12-byte part number, the value and the 4-byte code: 0;
 * 1 full (or a null argument); 20 out of memory (logged). */
ZKALL_API int32_t ZKALL_CDECL SetLcpTmp(const char* partno, const int16_t* value, const char* code);
/* The first item whose part number (12 bytes) and code (4 bytes) match. */
ZKALL_API zkall_lcp_tmp_node* ZKALL_CDECL SearchLcpTmp(const char* code, const char* partno);
ZKALL_API void ZKALL_CDECL DelLcpTmp(const char* code, const char* partno);

/* The selected-figure list: at most 100 entries; module "ZKSUBF22". The
 * cnexta area keeps a second copy (a count and 100 figure numbers) for the
 * catalog's other programs; VBread_figno and VBwrite_figno move the numbers
 * between the two. */
ZKALL_API int32_t ZKALL_CDECL init_selfgn(void);
ZKALL_API int32_t ZKALL_CDECL term_selfgn(void);
ZKALL_API zkall_item_list* ZKALL_CDECL get_selfgn(void);
ZKALL_API int16_t ZKALL_CDECL get_num_selfgn(void);
/* Adds a figure number: 0; 1 full (100) or a null pointer; 20 (logged). */
ZKALL_API int32_t ZKALL_CDECL set_selfgn(const uint32_t* figno);
ZKALL_API int32_t ZKALL_STDCALL VBset_selfgn(const uint32_t* figno);
ZKALL_API zkall_sel_fgn_node* ZKALL_CDECL search_selfgn(const uint32_t* figno);
/* 1 when the number is in the list, else 0. */
ZKALL_API int32_t ZKALL_STDCALL VBcheck_selfgn(const uint32_t* figno);
ZKALL_API void ZKALL_CDECL del_selfgn(const uint32_t* figno);
ZKALL_API void ZKALL_STDCALL VBdel_selfgn(const uint32_t* figno);
/* Appends the first `figure_count` numbers of the cnexta area (at most its
 * 100) to the list, which is neither emptied first nor held to its limit:
 * 0, or 20 out of memory (logged "VBread_figno","AddItem"; the numbers
 * added so far stay). Nothing happens before the common areas exist. */
ZKALL_API int32_t ZKALL_STDCALL VBread_figno(void);
/* Zeroes the 100 slots of the cnexta area and copies the list into them in
 * order, at most 100; the area's count and *count (when not null) become
 * the number copied. Before the common areas exist *count becomes 0. */
ZKALL_API void ZKALL_STDCALL VBwrite_figno(int16_t* count);
/* Zeroes the cnexta slots and count and frees the list. */
ZKALL_API void ZKALL_STDCALL VBclear_figno(void);

/* ===================================================================== */
/* Selection work files                                                    */
/* ===================================================================== */
/* SELECT.TMP and LCPSEL.TMP in the work directory (path kind 0) are exactly
 * 20000 bytes: 1000 records of 20 bytes; the first record whose first byte
 * is 0 ends the list and every unused record is zero. Numbers little-endian.
 *   SELECT.TMP:  0 key (12: part number, or part name code and 6 blanks),
 *                12 value (16-bit), 14 kind (0 code, 1 part number), 15 zero (5)
 *   LCPSEL.TMP:  0 code (4), 4 part number (12), 16 value (16-bit),
 *                18 kind (the item kind's low byte), 19 zero
 * drom_init rewrites SELECT.TMP as 20000 zero bytes; drom_term deletes the
 * work directory's *.TMP files. */
#define ZKALL_WORK_FILE_SIZE 20000
#define ZKALL_WORK_FILE_RECORD 20

/* Raw image functions, reporting nothing. *error receives the system error
 * number of the failing call, else 0 (error may be null). A short file
 * reads without error and leaves the rest of the buffer as it was. Results:
 * 0; -1 the path cannot be built; 11 open failed; 14 read failed (13 write
 * failed, also when the file cannot be closed after writing); a null buffer
 * is refused with 14 (13) and error 22 before any file is touched. */
ZKALL_API int32_t ZKALL_CDECL read_select_tmp(void* buffer, int32_t* error);
ZKALL_API int32_t ZKALL_CDECL write_select_tmp(const void* buffer, int32_t* error);
/* Writes 20000 zero bytes: 0; 20 out of memory; else write_select_tmp's
 * result. Failures are logged as module "ZKSUBF20" (LCPSEL: "ZKSUBF24"). */
ZKALL_API int32_t ZKALL_CDECL clear_select_tmp(void);
ZKALL_API int32_t ZKALL_CDECL read_lcpsel_tmp(void* buffer, int32_t* error);
ZKALL_API int32_t ZKALL_CDECL write_lcpsel_tmp(const void* buffer, int32_t* error);
ZKALL_API int32_t ZKALL_CDECL clear_lcpsel_tmp(void);

/* The front end's functions, each logging its failure ("ZKSUBF21" for
 * SELECT.TMP, "ZKSUBF23" for LCPSEL.TMP) with the failing call and
 * returning its code: -1 (path), 11, 13, 14, 20. Reading appends the file's
 * records to the list (neither emptied first nor held to 1000); writing
 * saves the list's first 1000 items. A close that fails after writing is
 * logged as "fclose" with 13 at the write's site: the data may not have
 * reached the file. */
ZKALL_API int32_t ZKALL_STDCALL VBReadSelectTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBWriteSelectTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBClearSelectTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBReadLcpselTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBWriteLcpselTmp(void);
ZKALL_API int32_t ZKALL_STDCALL VBClearLcpselTmp(void);

/* ===================================================================== */
/* Local price files                                                       */
/* ===================================================================== */
/* Three pairs in the local-price directory (path kind 3): an index of
 * fixed-length entries (the key, a 16-bit start record number and a 16-bit
 * record count, little-endian; the index ends at the end of the file or at
 * an entry whose first byte is 0) and a data file of fixed-length records:
 *   pair  index       entry  key    data       record
 *   1     LOCALP1.IA  16     0-11   LOCALP1.D  62
 *   2     LOCALP2.IA  16     0-11   LOCALP2.D  62
 *   3     LOCALP3.IA  14     0-9    LOCALP3.D  132 (part number at 52-63)
 * All index entries matching a key name one consecutive run of records
 * starting at the first one's start: their counts are summed. A key read
 * collects the run in 4088-byte record blocks (items of two links and 4088
 * bytes). Failures are logged as module "ZKSUBF30". The caller owns the
 * handle and may read its fields; it must not change them. */

#define ZKALL_LCP_BLOCK_BYTES 4088

typedef struct zkall_lcp_handle {
  char index_path[80];            /*   0      index file, NUL-terminated */
  void* data_file;                /*  80      the library's open stream of the data file, or null */
  int16_t record_length;          /*  84|88   62 or 132 */
  int16_t entry_length;           /*  86|90   16 or 14 */
  int16_t run_offset;             /*  88|92   start number's place in an entry: 12 or 10 */
  uint32_t position;              /*  92|96   records handed out since the last key read */
  uint32_t total;                 /*  96|100  records collected by the last key read */
  uint16_t end_flag;              /* 100|104  1 when no (further) record was found */
  zkall_item* current_block;      /* 104|112  block of the record last handed out */
  int16_t index_in_block;         /* 108|120 */
  int16_t records_per_block;      /* 110|122  4088 / record length: 65 or 30 */
  zkall_item_list blocks;         /* 112|128  the collected records */
} zkall_lcp_handle;               /* 124|152 */
typedef zkall_lcp_handle LcpHandle;

/* A block of collected records. */
typedef struct zkall_lcp_block {
  zkall_item link;                         /* 0 */
  uint8_t records[ZKALL_LCP_BLOCK_BYTES];  /* 8|16 */
} zkall_lcp_block;                         /* 4096|4104 */

/* Zeroes the handle (a handle still open is not closed: its file and
 * records are lost), sets the layout of pair 1-3 and opens its data file:
 * 0; -1 the data file cannot be opened (nothing logged); 128 another pair
 * (logged "LCPOpen","Parm Error" with the pair) or a null handle. */
ZKALL_API int32_t ZKALL_CDECL LCPOpen(zkall_lcp_handle* handle, int16_t pair);
/* Frees the records of the previous key, reads the index a 4088-byte block
 * at a time (whole entries only), sums the counts of the entries whose first
 * key_length bytes equal the key and reads that many records from the first
 * match's start into the handle's blocks; the first goes to out (when not
 * null), position 1. 0, with the end flag set when nothing matched (also
 * for a negative key_length, one above the entry length, or a null key with
 * a length) or the sum is 0; 11 the index cannot be opened; 14 a read failed
 * or came short (a run past the end of the data file); 15 the seek failed
 * (also for a handle whose data file is not open, with error 9); 20 out of
 * memory; 128 a null handle or one whose layout fields were changed. On a
 * failure no records are kept. */
ZKALL_API int32_t ZKALL_CDECL LCPKeyRead(zkall_lcp_handle* handle, const char* key, int16_t key_length, void* out);
/* The next collected record into out: 0 (end flag 1 when none is left); 20
 * when no key read has collected records; 128 as above. */
ZKALL_API int32_t ZKALL_CDECL LCPSeqRead(zkall_lcp_handle* handle, void* out);
/* Finds among the collected records the first whose bytes 52-63 equal the
 * 12-byte part number and copies its 132 bytes to out; the end flag says
 * whether one was found. Every handle is walked as one of pair 3 (132-byte
 * records, at most 30 a block), so a handle of pair 1 or 2 is never read
 * outside its blocks. */
ZKALL_API void ZKALL_CDECL LCP3PrtNoRead(zkall_lcp_handle* handle, const char* partno, void* out);
/* Frees the records, closes the data file; 0. */
ZKALL_API int32_t ZKALL_CDECL LCPClose(zkall_lcp_handle* handle);

/* ===================================================================== */
/* Error log                                                               */
/* ===================================================================== */
/* ZKERROR.LOG lives in $TMP (".\" when unset); a path over 79 characters
 * writes no line. One line per report, opened, appended and closed:
 * "(MM/DD/YY HH:MM:SS)module,function,call,(n1)(n2)(n3)". On Windows the
 * runtime's text mode ends it with CR LF, elsewhere with LF. */

/* Appends one line to the log; a log that cannot be written loses it. */
ZKALL_API void syerr_message(const char* module, const char* function, const char* call, int32_t n1, int32_t n2,
                             int32_t n3);
/* Removes the log: 0 when removed, -1 when not (none there). */
ZKALL_API int32_t init_syerr_message(void);
/* syerr_message for the front end's strings. */
ZKALL_API void ZKALL_STDCALL VBsyerr_message(zkall_vbstr module, zkall_vbstr function, zkall_vbstr call, int32_t n1,
                                             int32_t n2, int32_t n3);

/* ===================================================================== */
/* File handles, date and time                                             */
/* ===================================================================== */
/* Open flags are the Windows runtime's numbers on every platform: 0x8000
 * binary, 0x0002 read-write, 0x0100 create, 0x0200 truncate; permission
 * 0x0100 read, 0x0080 write. */

/* Opens a file (with the permission only when creating); the descriptor or
 * -1. A descriptor below 32 gets its bit in the handle-table word; one of 32
 * or above, which has no bit, is registered in a table the library keeps
 * beside the word. */
ZKALL_API int32_t open2(const char* path, int32_t flags, int32_t perm);
/* Closes a descriptor open2 registered: 0, or the close result when it fails
 * (it stays registered). Any other descriptor, whatever its number, is left
 * alone: 0. A second close2 answers 0. */
ZKALL_API int32_t close2(int32_t fd);
/* Closes every descriptor open2 registered (bits of the word and those of
 * 32 and above): 0, or -1 when one failed (it stays registered). */
ZKALL_API int32_t closeall2(void);
/* The address of the handle-table word (bit n: descriptor n open). */
ZKALL_API uint32_t* handle_flag(void);
/* Sets / clears bit `bit` of *word: 0, or -1 outside 0..31 (nothing changed). */
ZKALL_API int32_t b_setl(uint32_t* word, int32_t bit);
ZKALL_API int32_t b_resetl(uint32_t* word, int32_t bit);
/* Today as 8 characters CCYYMMDD (years 00-50 are 20YY), no terminator. */
ZKALL_API void date2(char* out8);
/* Now as 6 characters HHMMSS, no terminator. */
ZKALL_API void time2(char* out6);
/* Busy-waits until the calendar time has advanced by `seconds`. */
ZKALL_API void timer(int32_t seconds);

/* ===================================================================== */
/* Indexed catalog files                                                   */
/* ===================================================================== */
/* An indexed catalog file set is one data file of fixed-length records and
 * up to three index levels (top, middle, bottom), all read in blocks of 2048
 * bytes. An index entry is the index key, 6 decimal digits of child block
 * number and 3 of child block count; its child range lies in the next level
 * (below the last level: in the data file), counted from that file's base
 * block. The top level is one block. An entry or record whose first byte is
 * NUL ends its block: nothing behind it is looked at, by any read. Keys are
 * compared over the length of the search key, bytes unsigned, A-Z folded to
 * a-z. Match mask 3 stops at the first entry not below the key, mask 2 at
 * the first entry equal to it.
 *
 * A handle belongs to its caller from the open (cdopen, cdopen_direct,
 * fcdopen) to cdclose. Its layout is natural C alignment; the offsets are
 * given for the 32-bit DLL and, after the bar, for 64-bit builds. The
 * library keeps a registry of the handles it has opened and not closed;
 * every function below that takes a handle asks it first, and refuses a
 * pointer that is not one of them (a record of the caller's own, even a
 * copy of a real handle, or a handle already closed) without reading or
 * changing anything, as it refuses a null handle: 128 with the detail its
 * null handle gets (cdclose: 900), 0 from cdfilelen. (An address that a
 * later open is given again names that new handle.)
 *
 * Index-block cache. Catalog files do not change while they are open, so
 * an index block read whole once serves every later search of the same
 * open file: the library keeps the index blocks its searches read (never
 * data blocks, never a block whose read failed or came short), under the
 * open they were read through and their place in the file, in one pool of
 * 512 blocks (1 MiB) for the whole process, the block used longest ago
 * giving way. Repeated lookups on one handle then read only their data
 * blocks; the first lookup on a handle reads one block a level and the data
 * block, as ever. A block taken from the pool is copied into the level's
 * buffer and counted like a read, so results, details, outputs, the
 * handle's fields and buffers are what they would be without it; the level
 * file is then neither sought nor read, so between searches its position
 * is wherever the last read of it left it (cdreopen positions every file as
 * ever). What is kept belongs to the open: cdclose drops it, and a file
 * opened again (a new handle, the same set opened after a disc switch, a
 * descriptor closed and opened again through close2 and open2) starts from
 * the file. Two handles on the same set each keep their own blocks. The
 * cache is per open rather than per physical file: a set opened for each
 * lookup (get_hinmei) gains nothing from it, but nothing kept can outlive
 * the open that vouches for it (an installed copy rewritten on the hard
 * disk between two opens is read afresh).
 *
 * Seeks. The library follows where each file it opened in binary mode
 * stands (through its own reads, writes and seeks: every engine call,
 * cdseek_only, cdread_read_block, direct_read ...) and does not ask the
 * system to move a file to where it already stands. cdreopen therefore
 * costs no system call for a file a cached search has not moved. A caller
 * that moves one of a handle's descriptors with its own runtime calls,
 * bypassing the library, must move it back itself before relying on the
 * positions cdreopen gives.
 *
 * The status of a read's last step stands until cdreopen (or cdseek, which
 * calls it): once a search has ended (-1) or failed, every cdread answers
 * the same, with the same detail, whatever key it is given.
 *
 * Results: 0; -1 nothing (more) found; 12 close failed; 14 read failed or
 * short (detail: the error number, 0 when the file simply ended); 15 seek
 * failed (detail: the error number); 20 out of memory; 128 refused, with one
 * of these details:
 *   400 cdread: null handle
 *   401 cdread_read_block: null handle, level outside 0..3, null buffer, a
 *       block count outside 1..1048575, or the level's file not open; a
 *       read into a null buffer (a level to be read whose file is not open
 *       fails first at its seek: 503)
 *   402 record length outside 1..2048 (record mode, or any read by key)
 *   403 key field outside the record: key offset + key length (for file
 *       kinds 2 and 3 also key offset + index key length) above the record
 *       length
 *   404 key longer than the file's key length
 *   405 key the search keys cannot hold: length negative or above 20, or a
 *       null key with a length
 *   406 index layout: entry length outside 1..2048, index key length above
 *       32, or index key length + 9 above the entry length
 *   407 number of index levels outside 0..3
 *   408 a child pointer with a byte that is not a decimal digit
 *   409 a child range that runs past the end of the present level or data
 *       file it points into (a range into an absent index level is taken
 *       like any other: reading it fails at its seek, 503, and an empty
 *       range is -1 at once)
 *   410 cdread_initial_set, cdread_search_index, cdread_search_data: null
 *       handle; cdread_search_index: the current level is no index level
 *   411 a read of a file whose location kind is none of 0, 1, 2: the
 *       engine's scans refuse it at once (cdread_read_block alone reads
 *       nothing and answers 0)
 *   412 one cdread or cdseek_key would read more than sixteen times the
 *       blocks the set's files hold, plus 64 (each file counted at most as
 *       far as its physical file goes): a damaged index that sends the
 *       walk over the same blocks again and again. A read passes over an
 *       index block it has already walked through in the same call, so a
 *       keyed read in record mode of a set that is not an alternate one
 *       reads each block about once and never comes near the bound.
 *   501 cdseek_only: null handle; 502 level outside 0..3; 503 file not open
 *   511 cdseek: null handle; 512 level other than 3
 *   601 cdreopen: null handle
 *   800 cdseek_key: null handle or key length below 1
 *   900 cdclose: not a handle of the library (*handle is left as it is)
 * A failed read leaves the handle open with its search state as far as it
 * got; cdreopen starts afresh. The engine writes nothing to the error log. */

#define ZKALL_CD_BLOCK_SIZE 2048
#define ZKALL_CD_SEARCH_KEY_SIZE 20 /* longest search key */
#define ZKALL_CD_LAST_KEY_SIZE 32   /* longest index key */

/* A file of the set: an index level or the data file. */
typedef struct zkall_cd_level {
  char file_name[10];       /*  0     name, e.g. "SHAMEI.IA1" (not terminated) */
  uint8_t attribute;        /* 10     byte 10 of the master entry, not interpreted */
  uint8_t reserved11;       /* 11 */
  int32_t fd;               /* 12     descriptor (registered by open2), -1 when not open */
  uint8_t* buffer;          /* 16     one block, only for present files */
  uint32_t base_block;      /* 20|24  first block of the file's run in its physical file */
  uint32_t size;            /* 24|28  blocks of the run; 0: absent level, empty data file */
  uint8_t match_mask;       /* 28|32  2 or 3 */
  uint8_t location_kind;    /* 29|33  0 own file on the disc, 1 hard-disk copy, 2 inside a master file */
  uint8_t reserved30[2];    /* 30|34 */
  uint32_t scan_start;      /* 32|36  absolute block where the current scan range begins */
  uint32_t scan_count;      /* 36|40  blocks in the current scan range */
  uint32_t blocks_scanned;  /* 40|44  blocks of the range already read */
  uint32_t entry_index;     /* 44|48  next entry or record to look at in the loaded block */
  uint8_t loaded;           /* 48|52  1 while the buffer holds a block with entries still to look at */
  char last_key[ZKALL_CD_LAST_KEY_SIZE]; /* 49|53 key of the index entry last taken here */
} zkall_cd_level;           /* 84|88 */

/* An open indexed catalog file set. */
typedef struct zkall_cd_handle {
  char file_name[10];       /*   0      the data file's name as asked for */
  char disc_id[2];          /*  10      disc id of the installed disc (or the disc found) */
  char disc_no[2];          /*  12      disc number, same entry */
  char disc_date[8];        /*  14      disc date, same entry */
  uint8_t reserved22[2];    /*  22 */
  int32_t requested_disc;   /*  24      installed-disc index asked for (-1 for cdopen_direct) */
  int32_t disc_index;       /*  28      installed-disc index used after any redirection (-1 direct) */
  int32_t drive_index;      /*  32      index into ctop drives of the drive holding the disc; -1 none needed */
  zkall_ctop* ctop;         /*  36|40   the ctop area */
  zkall_ccar* ccar;         /*  40|48   the ccar area */
  uint8_t file_kind;        /*  44|56   2, 3: alternate index set; 14, 15: index key without the sixth byte */
  uint8_t data_mask;        /*  45|57   match mask of the data file */
  uint8_t reserved46[2];    /*  46|58 */
  int32_t key_length;       /*  48|60   of the data file's key */
  int32_t index_key_length; /*  52|64 */
  int32_t record_length;    /*  56|68 */
  int32_t entry_length;     /*  60|72   index entry length: index key length + 9 */
  int32_t level_count;      /*  64|76   index levels, 0..3 */
  int32_t block_size;       /*  68|80   2048 for disc files */
  int32_t key_offset;       /*  72|84   of the key within a data record */
  uint8_t catalog_flag;     /*  76|88   1 when opened in a catalog directory */
  uint8_t direct_flag;      /*  77|89   1 when opened by cdopen_direct */
  uint8_t reserved78[2];    /*  78|90 */
  int32_t read_mode;        /*  80|92   0 record mode, 1 block mode */
  int32_t prompt_kind;      /*  84|96   handed on to cdset_cd */
  int32_t price_format;     /*  88|100  0, or 1 / 2 for the price files */
  char catalog_code[6];     /*  92|104  catalog mode only */
  char master_name[18];     /*  98|110  "ZKnnnnnn.MST" and NUL, catalog mode only */
  zkall_cd_level levels[4]; /* 116|128  top, middle, bottom index level, data file */
  char index_key[ZKALL_CD_SEARCH_KEY_SIZE]; /* 452|480 index search key */
  char data_key[ZKALL_CD_SEARCH_KEY_SIZE];  /* 472|500 data search key */
  int32_t index_key_len;    /* 492|520  length of the index search key */
  int32_t data_key_len;     /* 496|524  length of the data search key (0: reading in order) */
  int32_t current_level;    /* 500|528  0..2 index, = level_count data, 99 reading without the index */
  int32_t status;           /* 504|532  result of the last step */
  int32_t found;            /* 508|536  1 when the last data step delivered */
  int32_t record_index;     /* 512|540  record-index output of the last read */
  int32_t blocks_read;      /* 516|544  blocks-delivered output of the last read */
  uint8_t restart;          /* 520|548  1: the data scan must take up a new child range */
  uint8_t reserved521[3];   /* 521|549 */
  uint32_t child_block;     /* 524|552  child block number of the last entry taken */
  uint32_t child_count;     /* 528|556  child block count of the last entry taken */
  zkall_cd_level* current;  /* 532|560  descriptor being searched */
} zkall_cd_handle;          /* 536|568 */

typedef zkall_cd_handle cd_handle;

/* Closes the data file and every level file (a shared file once), frees the
 * buffers and the handle and sets *handle to null. 0, or 12 with the error
 * number of the last failed close in *detail (everything is released all
 * the same, and the descriptor leaves the handle table). A null pointer or
 * null *handle: 0. A handle that is not the library's (a caller's record,
 * one closed already): 128 with detail 900, nothing closed or freed and
 * *handle left as it is. detail may be null. */
ZKALL_API int32_t ZKALL_CDECL cdclose(zkall_cd_handle** handle, int32_t* detail);
/* Record mode: the next record (record_length bytes into buffer) whose key
 * begins with the key_length bytes of key, or with key_length 0 the next
 * record in file order. Block mode without a key: up to `blocks` blocks from
 * the current position straight into buffer (blocks * 2048 bytes), their
 * count in *blocks_read. Block mode with a key: the first block of the child
 * range holding a matching record, followed by the blocks behind it up to
 * the last one that still holds a record with the key (at most `blocks` in
 * all); the next read goes on behind them. One read delivers at most
 * 1048575 blocks. Repeated calls with the same key
 * return further matches; -1 after the last, for an empty data file, and for
 * a key on a file without index levels. *record_index is 0 on success;
 * *blocks_read 0 in record mode. blocks_read, record_index, detail may be
 * null. Results and details as listed above. */
ZKALL_API int32_t ZKALL_CDECL cdread(void* buffer, const char* key, int32_t key_length, int32_t blocks,
                                     int32_t* blocks_read, int32_t* record_index, zkall_cd_handle* handle,
                                     int32_t* detail);
/* Starts the search afresh: clears every scan state and the search keys,
 * sets the top level's scan range to its run and seeks the open files to
 * the start of their ranges. 0; 15; 128/601. detail may be null. */
ZKALL_API int32_t ZKALL_CDECL cdreopen(zkall_cd_handle* handle, int32_t* detail);
/* Positions the data file (level must be 3) on `block` for reading in order:
 * cdreopen, then the next cdread without a key starts at that block (a
 * block at or past the end leaves nothing: -1). 0; 15; 128/511, 512, 50x. */
ZKALL_API int32_t ZKALL_CDECL cdseek(int32_t level, uint32_t block, zkall_cd_handle* handle, int32_t* detail);
/* Seeks the file of `level` (0..2 index levels, 3 data) to `block` blocks
 * behind its scan start. 0; 15; 128/501, 502, 503. */
ZKALL_API int32_t ZKALL_CDECL cdseek_only(int32_t level, uint32_t block, zkall_cd_handle* handle,
                                          int32_t* detail);
/* Descends the index for the key and positions the data file on the first
 * block of the child range that holds a matching record; the next cdread
 * without a key reads on from there. Only the range of the first bottom
 * entry taken is scanned. 0; -1 when the key leads nowhere (also when the
 * index walk fails: the detail then tells why); 14 or 15 while scanning the
 * data; 128/800, 40x. */
ZKALL_API int32_t ZKALL_CDECL cdseek_key(const char* key, int32_t key_length, zkall_cd_handle* handle,
                                         int32_t* detail);
/* Blocks of the data file; 0 for a null handle or one not the library's. */
ZKALL_API uint32_t ZKALL_CDECL cdfilelen(const zkall_cd_handle* handle);
/* First step of cdread: checks the key (128/404, 405, 410), stores the data
 * and index search keys and hands out the three index level descriptors
 * (levels may be null). Changes nothing on a refusal. */
ZKALL_API int32_t ZKALL_CDECL cdread_initial_set(const char* key, int32_t key_length, zkall_cd_handle* handle,
                                                 zkall_cd_level** levels, int32_t* detail);
/* Takes the next entry for the search key at the handle's current index
 * level and sets the next level's scan range: 0; -1 when the level has
 * nothing (more) for the key, an empty scan range included; 14; 15;
 * 128/406-411, 503 (the level's file not open: the seek comes first), 401
 * (a level without a buffer). */
ZKALL_API int32_t ZKALL_CDECL cdread_search_index(zkall_cd_handle* handle, int32_t* detail);
/* Scans the data file's child range for the next match (or the next record,
 * or the next blocks, without a key): 0; -1 when the range has no (further)
 * match; 14; 15; 128/401-403, 410, 411, 50x. */
ZKALL_API int32_t ZKALL_CDECL cdread_search_data(void* buffer, int32_t blocks, int32_t* blocks_read,
                                                 int32_t* record_index, zkall_cd_handle* handle, int32_t* detail);
/* Reads `blocks` blocks of the level's file (0..3) from its current position
 * into buffer. 0 (also, reading nothing, for a location kind other than 0,
 * 1, 2); 14 on a short read; 128/401. */
ZKALL_API int32_t ZKALL_CDECL cdread_read_block(int32_t level, void* buffer, int32_t blocks,
                                                zkall_cd_handle* handle, int32_t* detail);
/* Scans the area_length / entry_length entries of area and compares key with
 * the key_length bytes at `offset` in each: 1 key below, 2 equal, 4 above.
 * The first entry whose outcome is in mask stops the scan: its index goes to
 * *entry_index (when not null) and its outcome is returned; 0 when none
 * stops it. An entry whose field would run past the area, a null key or
 * area, or a negative length or offset stops nothing. */
ZKALL_API int32_t ZKALL_CDECL d_search(const void* key, int32_t key_length, int32_t offset, int32_t mask,
                                       const void* area, uint32_t area_length, uint32_t entry_length,
                                       int32_t* entry_index);
/* d_search with the arguments in another order and signed lengths; when
 * key_length is above 1, an entry whose first four bytes (as many as the key
 * has, when fewer) differ from the key's, without folding, is passed over. */
ZKALL_API int32_t ZKALL_CDECL d_search2(const void* key, int32_t key_length, const void* area, int32_t mask,
                                        int32_t offset, int32_t area_length, int32_t entry_length,
                                        int32_t* entry_index);

/* ===================================================================== */
/* Opening indexed catalog file sets                                       */
/* ===================================================================== */
/* Master files: ZKROOTMF.MST lists the files of a disc, "ZK" + catalog code
 * + ".MST" those of a catalog directory, ZKFRNOMF.MST those of a
 * frame-number disc; each lies in the installed disc's directory. A 32-byte
 * header, then 32-byte entries (a set: top, middle, bottom level, data).
 * Location kinds: 0 a file of its own on the disc (the drive's root, or the
 * catalog directory), 1 a hard-disk copy in the installed directory (its
 * middle and bottom levels inside the top level's file), 2 inside the
 * catalog master file.
 *
 * Results: 0 with *handle; -1 the master file does not exist (detail 2);
 * 4 the user cancelled the insert-disc prompt; 11 a file could not be opened
 * (detail: error number); 14 the master file could not be read whole (a
 * catalog master file under 2048 bytes included); 15 it could not be
 * rewound; 20 out of memory; 128 with detail 101 the master file's path
 * cannot be built, 102 the disc holding the master file or the file is not
 * installed (an installed-disc index outside the table too), 103 a file's
 * path cannot be built, 104 the file is not listed (or not with that file
 * kind), 105 the data entry stands among the first three entries, 106 the
 * master files send the lookup round in a loop (given up after 16), 2001 /
 * 2002 refused by cdset_cd. A failed open releases everything and leaves
 * *handle null. detail may be null.
 *
 * In a catalog master file, a data file of any location kind but 2 is
 * opened as "CODE\NAME" on the drive found for the set (path kind 5); when
 * no disc was needed there is no drive, the name stays relative to the
 * current directory and the open normally fails with 11. Files that can
 * never be read are left unopened, and reading them fails at the seek that
 * comes first (128/503): files inside a master file, or of an unknown
 * location kind, listed by a root or frame-number master file, and index
 * levels of location kind 1 or of an unknown kind listed by a catalog master
 * file. A data file of an unknown kind that is opened is refused by the
 * reads (411). */

/* Opens data file `name` (10 characters) of installed disc `disc`: through
 * its root master file, or with a catalog code through that catalog's
 * master file (where the entry of file kind 1 is taken). Follows a root
 * master file that hands over to the first installed disc and entries whose
 * files lie on another disc; has the disc put into a drive (drive, or -1 for
 * any) when a file of the set lies on it. */
ZKALL_API int32_t ZKALL_CDECL cdopen(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode,
                                     int32_t drive, int32_t disc, int32_t prompt_kind, zkall_cd_handle** handle,
                                     int32_t* detail);
/* As cdopen in root mode, through ZKFRNOMF.MST in the frame-number directory
 * (FRAMEJPN for current area J, else FRAMEWLD) of disc `disc`; an entry
 * naming another disc sends the lookup to the first installed disc. The
 * second argument is not used. */
ZKALL_API int32_t ZKALL_CDECL fcdopen(const char* name, const char* unused, uint8_t kind, int32_t read_mode,
                                      int32_t drive, int32_t disc, int32_t prompt_kind, zkall_cd_handle** handle,
                                      int32_t* detail);
/* Opens a set straight from the disc `disc_id` (found as cdset_cd finds it)
 * by the built-in file table: with size 0 the data file's size is asked of
 * the file system and the index levels found on the disc are opened (the
 * level count is the lowest one found); with a size, only the data file from
 * base_block, for block or in-order reading. A name not in the table opens
 * for block reading only. Further details: 128/201 no disc id, 20/202 and
 * 20/203 and 20/205 no memory for the handle, the data buffer, a level's
 * buffer, 128/204 and 128/206 a path cannot be built. */
ZKALL_API int32_t ZKALL_CDECL cdopen_direct(const char* name, const char* catalog_code, uint8_t kind,
                                            int32_t read_mode, int32_t drive, const char* disc_id,
                                            const char* disc_no, const char* disc_date, uint32_t base_block,
                                            uint32_t size, int32_t prompt_kind, zkall_cd_handle** handle,
                                            int32_t* detail);
/* The size in blocks (rounded up) of `name` (in the catalog directory when a
 * code is given) on the disc in catalog drive `drive`: 0; -1 when the file
 * or its directory does not exist (detail 2, 3 or 18); 128 with another
 * system error, or 2102 (no size output), 2104 (no path). The last three
 * arguments are not used. */
ZKALL_API int32_t ZKALL_CDECL cdfile_get(const char* name, const char* catalog_code, int32_t drive, int32_t* detail,
                                         uint32_t* size, void* unused1, void* unused2, void* unused3);

/* ===================================================================== */
/* Catalog record lookups                                                  */
/* ===================================================================== */
/* Names, code tables and abbreviations read from the indexed catalog files
 * of the installed discs (through cdopen: drive -1, insert-disc prompt 700,
 * record mode). A record is taken as long as its file set's master entry
 * says (the handle's record_length), whatever layout the lookup expects: a
 * field that reaches past the record's end is filled (NUL, or blanks where
 * the field is blank-padded), never read from outside the record. The
 * figure-name files of the built-in file table have 71-byte records, so
 * their names hold 56 characters and 4 NUL bytes. */

/* The name of figure `figure_no` (4 characters) of the current vehicle's
 * catalog (ccar catalog_code, disc catalog_disc) from FIGMnn.DAT (nn: the
 * data language, file kind 14), key catalog code + section digit: figure
 * numbers below "3000" are searched in sections 1, 2, 3, below "5000" in 4,
 * below "8000" in 5, above in 6; records of the section with another figure
 * number are passed over. `name` (60 bytes) is zeroed first. 0 found; -1 not
 * found (also when the name found begins with NUL); else the failing call's
 * result with its detail in *detail, logged as ZKSUBC30,get_figmei with
 * "cdopen" (80), "cdreopen" (93), "cdread" (114) or "cdclose" (129). A
 * failed close is the answer only after 0 or -1. detail may be null. */
ZKALL_API int32_t ZKALL_CDECL get_figmei(const char* figure_no, char* name, int32_t* detail);
/* The name of part name code `code` (6 characters) from HINMnn.DAT (file
 * kind 7) into `name` (60 bytes). *status on entry chooses the disc: 0 the
 * current vehicle's (ccar catalog_disc), else the first installed disc of
 * the current area; on return 0 found, 1 no such code (name: 60 blanks), 4
 * the insert-disc prompt was cancelled (name unchanged). Results: 0 (with
 * any of those statuses); 14 when the current area has no letter or no
 * installed disc (logged GetAreaChar 167, setuped_top_cdno 172); the
 * failure of cdopen (logged with the file name, 190) or cdread (214). A
 * record shorter than 66 bytes gives a name padded with blanks. A null
 * status reads as 0. */
ZKALL_API int32_t ZKALL_CDECL get_hinmei(const char* code, char* name, uint16_t* status);

/* Reads `file` (10 characters; with a catalog code, in that catalog of each
 * disc) from one installed disc after another until one has a record with
 * the key. `discs`/`disc_count`: the installed-disc indexes to try (at most
 * the first 30 are kept), or null for every installed disc in table order;
 * without a catalog code a disc with the same area letter and date as the
 * disc listed just before it is skipped (copies of one edition; the first
 * entry and disc 0 always stay), and so is a disc whose master files send
 * cdopen to a disc already read. buffer, key, key_length, blocks,
 * blocks_read, record_index are cdread's; `mode` 0 returns the first record
 * and ends the search, 1 the same in block mode (as every mode but 0, 2 and
 * -1), 2 returns a record per call and keeps the search for the next call
 * with the same state word, -1 ends a search.
 *
 * *state is the caller's 32-bit state word: 0 to start; while a mode-2
 * search goes on the library's name for it (the state's address on the
 * 32-bit DLL; on 64-bit builds a non-zero token of the library's table of
 * live searches, since an address does not fit); 0 again once the search
 * has ended, whatever the result. Results: 0 with a record; -1 no disc has
 * (another) matching record (discs whose file or master file is missing are
 * passed over); 4 the insert-disc prompt was cancelled; a failure of cdopen,
 * cdread or cdclose (a failed close after -1, or when skipping a disc, is
 * the answer); 128 with 3101 (no state word, or a list of no discs: the
 * search ends) or 3103 (a non-zero word that names no live search: the word
 * becomes 0; with mode -1 that is 0); 20 with 3102 (no memory for the
 * state). detail may be null. */
ZKALL_API int32_t ZKALL_CDECL cdget_some_cd_data(const char* file, const char* catalog_code, uint8_t kind,
                                                 int32_t mode, int32_t drive, const int32_t* discs,
                                                 int32_t disc_count, void* buffer, const char* key,
                                                 int32_t key_length, int32_t blocks, int32_t* blocks_read,
                                                 int32_t* record_index, int32_t prompt_kind, uint32_t* state,
                                                 int32_t* detail);

/* An entry of the disc-number table (4 bytes). */
typedef struct zkall_cdno_entry {
  char area;         /* 0: the area letter of the disc asked for */
  char sequence;     /* 1: sequence digit */
  char disc_code[2]; /* 2: disc code from offset 87 of the vehicle names */
} zkall_cdno_entry;

/* The disc codes of the vehicle names SHAMEI.DAT read straight from the disc
 * `disc_id` (cdopen_direct: file kind 1, the drive, number, date and prompt
 * given, the size asked of the file system), each code once, records whose
 * byte 87 is a blank left out; sorted by code and numbered: every entry
 * gets the disc id's area letter, the first the second character of its own
 * code as sequence digit, entry i that character + i (past '9' the
 * characters run on in code order). 0 with *table (allocated with the C
 * runtime's malloc: the caller releases it with the runtime's free; one
 * entry's room when no code was found) and *count; otherwise *table null,
 * *count 0 and the failure of cdopen_direct, cdread or cdclose, 20 with 3201
 * / 3202 (no memory for the table / to grow it), 128 with 3203 (more than 10
 * codes). detail may be null. */
ZKALL_API int32_t ZKALL_CDECL cdmake_cdno_table(int32_t drive, const char* disc_id, const char* disc_no,
                                                const char* disc_date, zkall_cdno_entry** table, int32_t* count,
                                                int32_t prompt_kind, int32_t* detail);

/* The meaning of an abbreviation in the data language. `abbreviation` is a
 * front-end string (at most 20 bytes taken, over 20 blanks); RYAKUG.DAT
 * (file kind 4: 20-byte key, 2-byte language code at 20, 80-byte meaning at
 * 22) is read on the disc of ccar abbr_disc, record after record with the
 * key, until one has the data language. The meaning goes into the front-end
 * string `meaning` (at most its byte length and 130 bytes): up to three
 * word-wrapped lines of at most 40 bytes, each followed by CR LF (at 40-41,
 * 82-83, 124-125), blanks elsewhere. *status: 0 found, 1 no record in the
 * data language (meaning untouched), 4 the disc prompt was cancelled.
 * 0, or the failure of cdget_some_cd_data (logged as
 * ZKSUBR01,ryak_get_mean, 77). The index keys of a file are compared as
 * stored when the engine steps on: with an index written in lower case, a
 * key typed in upper case finds only the records of the first block range
 * it reaches. */
ZKALL_API int32_t ZKALL_STDCALL VBryak_get_mean(zkall_vbstr abbreviation, zkall_vbstr meaning, uint16_t* status);

/* ===================================================================== */
/* Vehicle identification                                                  */
/* ===================================================================== */

/* The current vehicle (ccar area) for the front end: each copies its field
 * into the front end's string (at least the field's width), NUL bytes made
 * blanks. Nothing happens without common areas or with a null string. */
ZKALL_API void ZKALL_STDCALL VBGetCat(zkall_vbstr str);        /* catalog code, 6 */
ZKALL_API void ZKALL_STDCALL VBGetModel(zkall_vbstr str);      /* model, 20 */
ZKALL_API void ZKALL_STDCALL VBGetFrameModel(zkall_vbstr str); /* frame model, 7 */
ZKALL_API void ZKALL_STDCALL VBGetFrameNo(zkall_vbstr str);    /* frame number, 7 */
ZKALL_API void ZKALL_STDCALL VBGetAd(zkall_vbstr str);         /* Ad field, 6 */
ZKALL_API void ZKALL_STDCALL VBGetColorNo(zkall_vbstr str);    /* colour number, 3 */
ZKALL_API void ZKALL_STDCALL VBGetTrimNo(zkall_vbstr str);     /* trim number, 4 */
ZKALL_API void ZKALL_STDCALL VBGetNotes(zkall_vbstr str);      /* notes, 30 */
ZKALL_API void ZKALL_STDCALL VBGetVName(zkall_vbstr str);      /* vehicle name, 20 */
ZKALL_API void ZKALL_STDCALL VBGetProDateF(zkall_vbstr str);   /* production date from, 4 */
ZKALL_API void ZKALL_STDCALL VBGetProDateT(zkall_vbstr str);   /* production date to, 4 */
/* The two 10-byte halves of the first characteristic. */
ZKALL_API void ZKALL_STDCALL VBGetCharact1(zkall_vbstr first, zkall_vbstr second);
/* Second-characteristic code `index` (5 bytes); an index outside 0..45
 * writes nothing. */
ZKALL_API void ZKALL_STDCALL VBGetCharact2(int16_t index, zkall_vbstr str);
/* The 17-character VIN (vin10, then frame_no) into the string, at most its
 * byte length; returns that byte length. */
ZKALL_API int32_t ZKALL_STDCALL VBGetVin(zkall_vbstr str);
/* The date (8 bytes) of the first installed disc of the current area; the
 * string is left alone when the area has none. */
ZKALL_API void ZKALL_STDCALL VBGetCrntCatCDDate(zkall_vbstr str);

/* VINs are 17 characters, not terminated; a position (from 1) is empty when
 * its byte is 0x20 or less. Vehicle information is keyed by a 9-character
 * key field: the VIN's first 9 characters for the makes of the manufacturer
 * table, its first 8 and a blank for all others. The 15 identifiers of the
 * table (the first three characters of a VIN, compared exactly) are
 * configuration, kept in one place: vehicle/manufacturer_table.h. */

/* 9 for a VIN of a listed make, else 8. */
ZKALL_API int32_t ZKALL_CDECL v_set_vin_len(const char* vin);
/* '0' for a VIN of a listed make, else a blank. */
ZKALL_API char ZKALL_CDECL v_set_vin_char(const char* vin);
/* Fills the 9-byte key field with blanks and copies the VIN's first 8 or 9
 * characters into it; returns the length taken. */
ZKALL_API int32_t ZKALL_CDECL v_copy_vin(const char* vin, char* key);
/* When position 11 is filled: an empty position 9, then an empty position
 * 10, becomes v_set_vin_char. */
ZKALL_API void ZKALL_CDECL v_edit_vin(char* vin);
/* 1 when the 7 bytes are a frame number (a letter or digit, six digits, no
 * blank), else 0. */
ZKALL_API int32_t ZKALL_CDECL v_valid_frameno(const char* frame_no);

/* JOUHOU.TMP, in the work directory: the candidate vehicles of a lookup,
 * 191-byte records: 0 code (6, criterion 2), 6 VIN key field (9, criterion
 * 1), 15 code (15, criterion 4), 30 production date from YYMM, 34 to YYMM
 * (all blanks: the one at 177), 48 codes (125, criterion 8), 177 second date
 * to, 181 value (4, criterion 32), 185 value (4, criterion 64), 190 sign:
 * 0x20 or less for a candidate, else the sign of the step that excluded it.
 *
 * The file slot holds a stream of the library, on every build the address
 * of that stream (a slot is pointer-sized): callers keep it, test it for
 * null and pass it back to v_open_jouhou_tmp and v_close_jouhou_tmp; it is
 * not a C runtime FILE. The library follows a slot only when it names one of
 * its open streams; any other value counts as an empty slot. Callers that
 * read or write the records open the file by its path
 * (v_make_jouhou_tmp_name). */
typedef struct zkall_jouhou_slot {
  void* stream; /* 0: the library's open stream, or null */
} zkall_jouhou_slot; /* 4|8 bytes */

/* Writes "JOUHOU.TMP" into the 80-byte buffer and completes it with the
 * work directory: 0, or -1 when the path would be too long. */
ZKALL_API int32_t ZKALL_CDECL v_make_jouhou_tmp_name(char* buffer);
/* Closes the file in *slot, then opens JOUHOU.TMP into it: mode 1 reading,
 * 2 created or emptied for writing, 3 reading and writing, all binary; the
 * record count (length / 191) into *count when count is not null. 0; 12
 * when the close fails; -1 when the path is too long (detail 0); 11 with the
 * error number when the open fails, and with 22 (EINVAL) for any other mode
 * or a null slot; 15 with the error number when the length cannot be had.
 * The slot holds the open file or null on every return. detail may be
 * null. */
ZKALL_API int32_t ZKALL_CDECL v_open_jouhou_tmp(int32_t mode, zkall_jouhou_slot* slot, int32_t* count,
                                                int32_t* detail);
/* Closes the file in *slot and empties it: 0 (also for an empty slot), or 12
 * with the error number (the stream is released all the same). */
ZKALL_API int32_t ZKALL_CDECL v_close_jouhou_tmp(zkall_jouhou_slot* slot, int32_t* detail);
/* One narrowing step over JOUHOU.TMP. `criteria` bits select what the
 * candidates (sign 0x20 or less) must match, byte for byte: 1 the VIN (its
 * key field as v_copy_vin builds it), 2 code6, 4 code15, 8 codes125, 16 the
 * production period (date6, CCYYMM: From <= date and, unless To is open,
 * date <= To, the YYMM dates placed in 19YY/20YY by the year window), 32
 * value32, 64 value64 (4 bytes as stored). Every record that is not a
 * matching candidate gets the sign of the current step: "vcmfdotln"
 * indexed by ccar step_codes[step_no]. Unselected arguments are not read; a
 * selected null argument matches nothing. 0 some candidate matched; 1 none
 * did (nothing written); -1/11 no path; 11/errno open; 20/record count no
 * memory; 14/12 first-pass read; 15/13 seek to read; 14/14 second-pass
 * read; 15/15 seek to write; 13/16 write; 12/17 close; 128/18 the step
 * number outside 0..217 or its code outside 0..8 (nothing written). Records
 * signed before a failure keep their sign. detail may be null. */
ZKALL_API int32_t ZKALL_CDECL v_jtmp_sign(int32_t criteria, uint32_t value32, uint32_t value64, const char* vin,
                                          const char* code6, const char* code15, const char* codes125,
                                          const char* date6, int32_t* detail);
/* Looks the catalog code (6 characters) up in SHAMEI.DAT (file kind 1) of
 * each installed disc of `discs` in turn (cdget_some_cd_data, mode 0). 0
 * found and the vehicle's catalog disc (the record's disc number at 87, in
 * the area of the disc that had the record) installed; 6 found but that
 * disc not installed; 1 on none of the discs (also for count 0 or less); or
 * the lookup's failure. When found, the 97-byte record goes to `record` and
 * the catalog disc's index (or -1) to *disc, each when not null. */
ZKALL_API int32_t ZKALL_CDECL v_check_shamei_d(const char* catalog_code, const int32_t* discs, int32_t count,
                                               char* record, int32_t* disc, int32_t* detail);

/* VCLINF.TMP, in the work directory: the symbol list of a vehicle. A
 * 133-byte header (17: catalog code, 6; 100: line count, 32-bit native),
 * then up to 250 lines of 32 bytes: headings "** text **", code lines (0-9
 * symbol code, 10-28 first piece of its explanation, 29 applies flag: 1 when
 * the code equals ccar char1_first over 10 bytes or one of the first 21
 * char2 codes over 5), continuation lines (10-28 the next piece of up to 19
 * characters). */

typedef struct zkall_vinf_control zkall_vinf_control;
/* The error hook: called with the block after a failure of the file layer
 * (which has closed the file); its answer is the failing call's answer. */
typedef int32_t(ZKALL_CDECL* zkall_vinf_hook)(zkall_vinf_control* block);

/* The record-file control block (the caller's; natural alignment). */
struct zkall_vinf_control {
  zkall_cd_handle* tokume;    /*  0     TOKUME.DAT while a list is built, else null */
  zkall_cd_handle* kigouu;    /*  4|8   KIGOUU.DAT likewise */
  int32_t disc;               /*  8|16  installed disc of the catalog, for cdopen */
  zkall_vinf_hook error_hook; /* 12|24  may be null */
  int32_t open_flags;         /* 16|32  0x0002 read-write, 0x0100 create, 0x0200 truncate, 0x8000 binary */
  int32_t perm;               /* 20|36  with create: 0x0100 read, 0x0080 write */
  int32_t fd;                 /* 24|40  descriptor of VCLINF.TMP, -1 when closed */
};                            /* 28|48 */

/* The record-file layer. A failure is logged as ZKSUBV31 with the
 * function's own name: "open2" (result, 0, 0), "lseek" (descriptor, 0, 0),
 * "read" / "write" (descriptor, bytes moved, 0); the file is then closed
 * and the answer is the hook's (0 without a hook). A null block or buffer
 * answers -1 and does nothing. The path is built once and kept while the
 * work directory stays the same. */

/* Opens VCLINF.TMP with the block's flags (and permission when creating):
 * the descriptor, also stored in the block. */
ZKALL_API int32_t ZKALL_CDECL init_VINFT(zkall_vinf_control* block);
/* The 133-byte header: 133. */
ZKALL_API int32_t ZKALL_CDECL get_hdr_VINFT(zkall_vinf_control* block, void* header);
ZKALL_API int32_t ZKALL_CDECL put_hdr_VINFT(zkall_vinf_control* block, const void* header);
/* Line n (32 bytes at 133 + 32 n): 32. */
ZKALL_API int32_t ZKALL_CDECL get_rec_VINFT(zkall_vinf_control* block, int32_t line, void* buffer);
ZKALL_API int32_t ZKALL_CDECL put_rec_VINFT(zkall_vinf_control* block, int32_t line, const void* buffer);
/* Closes the file if open (descriptor -1 afterwards). */
ZKALL_API void ZKALL_CDECL term_VINFT(zkall_vinf_control* block);
/* 0 when VCLINF.TMP exists, -1 when not. */
ZKALL_API int32_t ZKALL_CDECL chk_ext_VINFT(void);

/* Builds VCLINF.TMP for the catalog of the header (133 bytes, not changed
 * by the call): flags read-write/create/truncate/binary, permission read and
 * write, and an error hook that closes both catalog files are put into the
 * block; the block's catalog handles are the library's during the call and
 * null afterwards. Without a catalog code (first byte 0x20 or less): the
 * header and 250 lines of zero bytes. Otherwise, for each heading of
 * TOKUME.DAT in the data language (at most 250; 6 group number 16-bit, 8
 * language, 10 text 20) a heading line, then for each record of KIGOUU.DAT
 * of that group and language (6 group, 8 code 10, 18 language, 20
 * explanation 70) a code line and its continuation lines; the header with
 * the line count last. 0, or -1 when reading the catalog failed (logged as
 * ZKSUBV30 v_pop_read cdopen 111 / cdread 122 / cdopen 141, v_pop_read2
 * cdreopen 177 / cdread 191, v_pop_tblset "Area over" 230 / 282 for a 251st
 * line) or the file layer failed: the build stops at the first failure and
 * the header is not written. */
ZKALL_API int32_t ZKALL_CDECL v_pop_make_vclinf_tmp(zkall_vinf_control* block, const void* header);
/* Deletes VCLINF.TMP: 0, or -1. */
ZKALL_API int32_t ZKALL_CDECL v_pop_del_vclinftmp(void);
/* The full path of VCLINF.TMP into the 80-byte buffer, NUL-padded: 0, or -1
 * when it would be too long. */
ZKALL_API int32_t ZKALL_STDCALL vinf_get_path(char* buffer);
/* Hard-disk indexed files and the price master                            */
/* ===================================================================== */
/* Prices lie on the hard disk as indexed file sets described by a master
 * file of exactly four 32-byte entries and no header: PRICE.MST in the price
 * directory (path kind 2) or LOCALP.MST in the local-price directory (kind
 * 3). Entries: top (offset 0), middle (32), bottom index level (64), data
 * file (96); each is a name in the fixed 8.3 form (11 bytes, "KAKAKU  D  "
 * is the file KAKAKU.D), file kind, match mask, key length, key offset, a
 * byte not read, the block size (signed 16-bit, taken from the data entry
 * for every file of the set), 2 bytes not read, size and base block in
 * blocks (32-bit), record length (bottom entry: index entry length; 16-bit),
 * the number of index levels and the location kind (not used). The index
 * key length and entry length come from the bottom entry. The data file is
 * a file of its own; the index levels all lie in the top level's file at
 * their base blocks. An index entry is the key, then the child block number
 * (32-bit little-endian, counted from the next level's base block) and the
 * child block count (16-bit little-endian, signed). Entries per block and
 * records per block are the block size divided by the entry or record
 * length, taken modulo 256.
 *
 * Handles are zkall_cd_handle records made by hdopen (kakaku_open) and
 * released by hdclose (kakaku_close); the hd functions accept no other
 * handle. The price format field is 1 for KAKAKU.D, 2 for PRICE3.D and 0
 * for every other hard-disk file. The engine logs nothing.
 *
 * Results: 0; -1 nothing (more) found, the master file missing (detail 0),
 * the name not listed or its data file empty or missing; 11 a file could not
 * be opened, also a short read of a data block (detail: the error number, 0
 * when the file simply ended); 14 a short read of the master file (one
 * shorter than 128 bytes included) or of an index block; 15 a seek failed;
 * 20 no memory (detail 0 the master buffer or the handle, 1 the data
 * buffer, 2, 3, 4 the top, middle, bottom level's buffer); 128 refused with
 * one of these details:
 *   50 a file's path cannot be built (the master file's or a file of the
 *      set's)
 *   51 the master file's block size is 0 or negative, or the record length
 *      is 0, above the block size or does not divide it (hdopen; also any
 *      read when the handle's layout fields were changed)
 *   52 an index the engine cannot read: more than 3 levels, a level in use
 *      that is absent (size 0), an index key length of 0 or above 32, or an
 *      entry length below the index key length + 6 or above the block size
 *   53 the key field (key offset + key length) runs past the record
 *   54 an index entry whose child range runs past the end of the level or
 *      data file it points into, or whose count is negative (65535 read as
 *      a signed count)
 *   55 hdread: key longer than the file's key length
 *   56 hdread: a key the search can hold: negative length, above 20 bytes,
 *      or a null key with a length
 *   57 kakaku_read: price records longer than 68 bytes
 *   58 a null handle, buffer or output, a handle not made by hdopen, or
 *      (hd_search_index) a current level that is no index level
 *   59 hdopen: path kind other than 2 or 3
 *   60 one hdread read more blocks than twice the set's blocks (a corrupt
 *      index whose child ranges send the walk round the same blocks)
 * A failed open releases everything and leaves *handle null; a failed read
 * leaves the handle open. */

/* Opens the set whose data entry in the master file of path kind `kind` (2:
 * PRICE.MST, 3: LOCALP.MST) carries the 11-character name `name` (compared
 * in all 11 bytes): reads the first 128 bytes of the master file (the rest
 * is not read), makes the handle with block buffers of the set's block
 * size, opens the data file (-1 when missing) and, when the top level is
 * present, its file (11 when missing), which the middle and bottom levels
 * share. Without index levels the data scan starts out on the whole data
 * file. detail may be null. */
ZKALL_API int32_t ZKALL_CDECL hdopen(const char* name, int32_t kind, zkall_cd_handle** handle, int32_t* detail);
/* Starts the search afresh without seeking: clears the search state of
 * every level (the top level's scan range back to its run) and the search
 * keys; the top level keeps the block it holds, so the next search reads
 * it again from its first entry without reading the file. On a set without
 * index levels this also clears the data file's preset range, after which
 * a keyed read finds nothing. 0; 128 for a null or foreign handle. */
ZKALL_API int32_t ZKALL_CDECL hdropen(zkall_cd_handle* handle);
/* The next record (record_length bytes into buffer) whose key begins with
 * the key_length bytes of key (one search key serves the index and the
 * data; compared as the catalog engine compares, A-Z folded), or with
 * key_length 0 the next record in file order, where the first record of a
 * freshly read block is delivered whatever its first byte. Repeated calls
 * return further matches and -1 after the last. Results and details above;
 * detail may be null. */
ZKALL_API int32_t ZKALL_CDECL hdread(void* buffer, const char* key, int32_t key_length, zkall_cd_handle* handle,
                                     int32_t* detail);
/* Step of hdread: takes the next entry for the search key at the handle's
 * current index level and sets the next level's (below the bottom: the
 * data file's) scan range to its child range. 0; -1 when the level has
 * nothing (more); 14; 15; 128/51-54, 56, 58. */
ZKALL_API int32_t ZKALL_CDECL hd_search_index(zkall_cd_handle* handle, int32_t* detail);
/* Step of hdread: the next match of the search key in the data file's scan
 * range (taking up a new child range first when one was set), or the next
 * record without a key, into buffer. 0; -1; 11 (short block); 15;
 * 128/51-53, 56, 58. */
ZKALL_API int32_t ZKALL_CDECL hd_search_data(void* buffer, zkall_cd_handle* handle, int32_t* detail);
/* Closes the data file and the index file, frees the buffers and the handle
 * and sets *handle to null; 0 always (close failures are not reported; a
 * null or foreign handle is left alone). */
ZKALL_API int32_t ZKALL_CDECL hdclose(zkall_cd_handle** handle);

/* The 50-byte price record of kakaku_read, spaces where nothing is copied:
 *   offset  width  KAKAKU.D (format 1)   PRICE3.D (format 2)
 *   0       12     record 0-11           record 0-11
 *   12      8      record 12-19          the price of the selector: record
 *                                        12-19, 20-27 or 28-35 for 0, 1, 2
 *   20      8      record 20-27          record 36-43
 *   28      2      record 28-29          record 44-45
 *   30      20     record 30-49          record 46-65 */
#define ZKALL_PRICE_RECORD_SIZE 50
#define ZKALL_PRICE_AREA_SIZE 68 /* longest price-file record kakaku_read reads */

/* Opens the price file: with which 0 "KAKAKU  D  " (format 1) through
 * PRICE.MST, and when that answers -1 (not listed, missing or empty)
 * "PRICE3  D  " (format 2); with any other which only "PRICE3  D  ".
 * Results of hdopen; the price format is set in the handle. */
ZKALL_API int32_t ZKALL_CDECL kakaku_open(int32_t which, zkall_cd_handle** handle, int32_t* detail);
/* hdropen. */
ZKALL_API int32_t ZKALL_CDECL kakaku_reopen(zkall_cd_handle* handle);
/* hdread into a 68-byte area of its own (records longer than 68 bytes are
 * refused with 128/57 before anything is read), then the 50-byte price
 * record of the handle's format into `price`; with format 2 the selector
 * (0, 1, 2) picks the price, any other selector leaves it spaces; a handle
 * of another format gives 50 spaces. `price` is written only on success.
 * Results of hdread; detail may be null. */
ZKALL_API int32_t ZKALL_CDECL kakaku_read(char* price, const char* key, int32_t key_length, int32_t selector,
                                          zkall_cd_handle* handle, int32_t* detail);
/* hdclose. */
ZKALL_API int32_t ZKALL_CDECL kakaku_close(zkall_cd_handle** handle);
/* 0 when kakaku_open with which 0 succeeds (the handle is closed again),
 * else its result and detail. detail may be null. */
ZKALL_API int32_t ZKALL_CDECL kakaku_check(int32_t* detail);

/* ===================================================================== */
/* Text utilities                                                          */
/* ===================================================================== */

/* Editing and testing of fixed-width character fields, two-digit years,
 * applicability bits and area letters. All are plain (cdecl) exports; none
 * allocates or reports errors, each works in place or into a buffer of the
 * stated size.
 *
 * A field is an address and a length: fixed-width bytes, blank- or
 * NUL-padded, not terminated (only strlft and strrep take NUL-terminated
 * text). Bytes are compared as unsigned values; "blank-like" means 0x20 or
 * less; digits and letters are the ASCII ones only. A signed length below 1
 * is an empty field. A null address is an empty field too (nothing is read
 * or written and the answer is that for an empty field) unless a function
 * says otherwise. Source and destination may overlap; with two fields given
 * one length, a null one makes both empty. Nothing is read or written
 * outside the lengths given. */

/* Removes the leading run of c (the rest moves to the front, the last n
 * bytes become c); returns n. A field only of c is unchanged and gives length. */
ZKALL_API uint32_t ZKALL_CDECL memlft(char* field, char c, uint32_t length);
/* Turns every c of src into f (in src), then gives dest the source without
 * its n leading c, followed by n bytes f; returns n. */
ZKALL_API uint32_t ZKALL_CDECL memlft2(char* dest, char* src, char c, char f, uint32_t length);
/* memlft over a NUL-terminated text; a null text gives 0. */
ZKALL_API int32_t ZKALL_CDECL strlft(char* text, char c);
/* Copies length bytes from src to dest, each a becoming b. */
ZKALL_API void ZKALL_CDECL memrep(char* dest, const char* src, char a, char b, uint32_t length);
/* Replaces every a of a NUL-terminated text (its extent measured first, so
 * b may be NUL) by b; returns the number replaced; a null text gives 0. */
ZKALL_API int32_t ZKALL_CDECL strrep(char* text, char a, char b);
/* Copies at most length bytes of src, stopping before its first NUL; dest is
 * not terminated and its other bytes are unchanged. */
ZKALL_API void ZKALL_CDECL memncpy(char* dest, const char* src, int32_t length);
/* From the end backwards turns blank-like bytes into NUL, up to the first
 * byte above 0x20. */
ZKALL_API void ZKALL_CDECL last_space2null(char* field, int32_t length);

/* 1 if every byte is c (also for an empty field), else 0. */
ZKALL_API int32_t ZKALL_CDECL memall(const char* field, char c, int32_t length);
/* Index of the first c; -1 if none or the field is empty. */
ZKALL_API int32_t ZKALL_CDECL memclen(const char* field, char c, int32_t length);
/* Number of leading bytes above 0x20; 0 for an empty field. */
ZKALL_API int32_t ZKALL_CDECL memlenf(const char* field, int32_t length);
/* Length without trailing blank-like bytes (0 if only such bytes); a length
 * below 1 is returned as given. */
ZKALL_API int32_t ZKALL_CDECL memlenb(const char* field, int32_t length);
/* 1 if every byte is a digit 0-9 (also for an empty field), else 0. */
ZKALL_API int32_t ZKALL_CDECL memisdigit(const char* field, int32_t length);
/* 1 if every byte is an ASCII letter or digit (also for an empty field). */
ZKALL_API int32_t ZKALL_CDECL memisalnum(const char* field, int32_t length);
/* 1 if the field has the form of a catalog code: byte 4 a letter or digit,
 * every other byte a digit (also for an empty field), else 0. */
ZKALL_API int32_t ZKALL_CDECL memcatcheck(const char* field, int32_t length);
/* Exported as "memmem" too (see the top of this file). Index of the first
 * occurrence of the pattern in the area; 0 for an empty pattern whatever the
 * area (a null pattern is empty); -1 if the pattern is longer than the area
 * or absent. */
ZKALL_API int32_t ZKALL_CDECL zkall_memmem(const void* area, int32_t area_length, const void* pattern,
                                           int32_t pattern_length);

/* Right-justifies the bytes above 0x20 and fills the left with '0'
 * ("1 2" -> "012"); a length above 9 or below 1 changes nothing. */
ZKALL_API void ZKALL_CDECL zeroedit(char* field, int32_t length);
/* Blanks the leading run of '0', ',' and blank; if that is the whole field
 * its last byte becomes '0'; returns the run's length (0 for empty). */
ZKALL_API int32_t ZKALL_CDECL erase_zero(char* field, int32_t length);
/* Sum of character values times 10^place (digit: code-48, letter: code-55,
 * any other byte: 0), unsigned 32-bit wrapping; 0 for a length outside 1-9. */
ZKALL_API uint32_t ZKALL_CDECL cvt_alnum2ulong(const char* field, int32_t length);
/* Writes the 12-byte part number as 14 bytes "AAAAA-BBBBB-CC" (14 blanks for
 * 12 blanks); returns dest. Nothing is written if either address is null. */
ZKALL_API char* ZKALL_CDECL edit_hinban14(char* dest, const char* part_number);
/* Undoes edit_hinban14 into 12 bytes: blanks, then bytes 0-4; bytes 6-10 if
 * byte 6 is above 0x20; and then bytes 12-13 if byte 12 is too; returns dest.
 * Nothing is written if either address is null. */
ZKALL_API char* ZKALL_CDECL edit_hinban12(char* dest, const char* edited);
/* Turns a 15-byte buffer holding an 8-byte name and a 3-byte extension
 * (byte 14 NUL) into "NAME.EXT" without blanks, NUL-filled behind ("AB." for
 * an empty extension); stops removing blanks at a NUL. Null: nothing. */
ZKALL_API void ZKALL_CDECL edit_filename(char* buffer);

/* Word wrapping: blanks dest (dest_length bytes), skips blank-like bytes at
 * *position and copies the next line: the whole rest if it fits, else up to
 * the last NUL or blank (excluded) or comma (included) within dest_length,
 * else dest_length bytes; advances *position; 0, or -1 when no piece is
 * left. A dest_length below 1 gives an empty piece (0) and never moves the
 * position backwards. -1 without effect for a null position, a negative
 * position, or a null dest with a positive dest_length. */
ZKALL_API int32_t ZKALL_CDECL memory_edit_2_n_data(const char* source, int32_t source_length, char* dest,
                                                   int32_t dest_length, int32_t* position);
/* The same for pieces separated by semicolons: skips blank-like bytes and
 * semicolons, then copies up to the next semicolon, the end or dest_length
 * bytes. A dest_length below 1 gives 0 without moving the position (-1 once
 * the position is at the end). */
ZKALL_API int32_t ZKALL_CDECL memory_edit_2_n_data_by_scolon(const char* source, int32_t source_length,
                                                             char* dest, int32_t dest_length,
                                                             int32_t* position);

/* Reads 2 characters of a year as a number (leading blank-like bytes, a sign,
 * then digits; blanks read as 0) into *year (when year is not null); returns
 * 2 (20YY) for a year below 51, 1 (19YY) otherwise. A null text reads as
 * blanks. */
ZKALL_API int32_t ZKALL_CDECL check_2000(const char* yy, int32_t* year);
/* Months since 1900 of a YYMM date: (YY+100)*12+MM for 00-50, YY*12+MM for
 * 51-99; 0 when YY and MM both read as 0 (also for a null text). */
ZKALL_API int32_t ZKALL_CDECL ad2i(const char* yymm);
/* Byte index (n-1)/8 and mask 0x80>>((n-1)%8) of the applicability number n
 * in 3 characters (read like a year). n below 1 (or a null text) gives byte 0
 * and mask 0, a bit that is never set. Null outputs are not written. */
ZKALL_API void ZKALL_CDECL teki2bit(const char* number, int32_t* byte_index, uint8_t* mask);
/* Area number 0-3 of the letter E, G, U or J at the address (upper case
 * only); -1 for a null address or any other byte. */
ZKALL_API int32_t ZKALL_CDECL area_id(const char* letter);
/* table + area number * entry_size; NULL for a null letter address, a null
 * table, an entry_size below 1 or an unknown letter. */
ZKALL_API char* ZKALL_CDECL area_letter(const char* letter, char* table, int32_t entry_size);
/* Writes the letter of area 0-3 to *letter (unless letter is null) and
 * returns 0; -1 for another number, nothing written. */
ZKALL_API int32_t ZKALL_CDECL GetAreaChar(int32_t area, char* letter);

/* ===================================================================== */
/* Illustration decoder                                                    */
/* ===================================================================== */

/* Illustrations are stored as T.4 two-dimensional (Modified READ) or T.6
 * coded streams, most significant bit first: lines announced by EOL and a
 * tag bit (1: one-dimensional, 0: two-dimensional), lines without an EOL
 * being two-dimensional, the image ended by an EOL followed by a further
 * EOL (RTC or EOFB). The decoder turns such a stream, fed in pieces, into
 * rows of (width + 7) / 8 bytes (bit 1 black, most significant bit leftmost,
 * unused bits 0), handed over in pieces. One image at a time in the whole
 * process. All functions here are plain (cdecl) exports. */

/* Status words of decode_exec; 0x8F00..0x8FFF are errors. */
#define ZKALL_DECODE_INITIALISED 0x1F02 /* command 0 succeeded */
#define ZKALL_DECODE_OUTPUT_FULL 0x1500 /* take *output_length bytes, call again */
#define ZKALL_DECODE_NEED_INPUT 0x2000  /* pass the next piece of the stream */
#define ZKALL_DECODE_END 0x9F00         /* image complete, decoder released */
#define ZKALL_DECODE_NO_MEMORY 0x8F08   /* line arrays not allocated */
#define ZKALL_DECODE_OVERRUN 0x8F0C     /* a line ran past the line width */
#define ZKALL_DECODE_INVALID 0x8F0E     /* invalid code */

/* Command 0: starts an image of *width pixels (0..32767); status 0x1F02 and
 * result 0, or result -1 with status -1 (busy, or width out of range) or
 * 0x8F08. Busy means an image's line arrays still exist; the line
 * "PROGRAM ERROR (decode_init)" then goes to the standard error stream.
 * Any other command decodes the *input_length bytes at input (each call
 * takes the buffers and lengths afresh): with *input_length below 1 or a
 * null input nothing is done (output length 0, status 0x2000, result 0). Otherwise it stops
 * with *width set to the current line width and *status one of:
 *   0x1500: *output_length (on entry the output buffer's size) is set to the
 *           bytes delivered, the size or one less; call again with the same
 *           input and an output buffer of the same size, which is cleared
 *           and begins with the byte held back from the previous one;
 *   0x2000: the input is used up; *output_length is set to 0 and the bytes
 *           decoded so far stay in the output buffer: call again with the
 *           next input and the same output buffer, untouched;
 *   0x9F00: the image ended; *output_length bytes of the last buffer count;
 *           the line arrays are released;
 *   0x8F0C, 0x8F0E: result -1, *output_length unchanged. The error is final:
 *           every further decode call answers it again until
 *           decode_release.
 * The pieces delivered, joined, are the bitmap. A one-dimensional line whose
 * runs add up to another width sets the line width from the next row on. A
 * line with more changing elements than the line arrays hold (5730), a
 * vertical code that would put a1 before a0, a code that begins with six 0
 * bits inside a two-dimensional line and an EOL inside a horizontal-mode
 * run are invalid code; runs that add up past the line width (past 32767 in
 * a one-dimensional line) are an overrun. A decode call with no image
 * started answers 0x8F0E. An output size below 1 delivers nothing and
 * answers 0x1500; a one-byte buffer is filled a byte at a time and never
 * holds a byte back. Null length, width or status pointers give -1. */
ZKALL_API int32_t ZKALL_CDECL decode_exec(int32_t command, int32_t* width, const uint8_t* input,
                                          int32_t* input_length, uint8_t* output, int32_t* output_length,
                                          int32_t* status);
/* Starts an image of `width` pixels: 0, -1 (busy, with the message above;
 * or width outside 0..32767) or 0x8F08 (an array that was allocated before
 * the failure stays, so the decoder is busy until decode_release). */
ZKALL_API int32_t ZKALL_CDECL decode_init(int32_t width);
/* Frees the line arrays of an image that was abandoned (an error status, or
 * a caller that stops early) so the next decode_init can start: 0 when they
 * were freed, -1 when no image was in progress. decord_img calls it on every
 * path that leaves an image unfinished. */
ZKALL_API int32_t ZKALL_CDECL decode_release(void);

/* Packed image file (all numbers big-endian): 0 header number (3 bytes),
 * 3 header byte, 4 identifier (7 characters), 11 width, 13 height (2 bytes
 * each), 15 coding type ('3': the coded stream above), 16 coded image length
 * (3 bytes), 19 coded-text length (2 bytes), 21 the coded image, then
 * coded-text records of 22 bytes (four 2-byte numbers, code byte, count
 * byte, 12 characters). The records below have the natural C layout (see
 * the top of this file); offsets are the same on 32-bit and 64-bit builds. */

/* The header record decord_img fills (28 bytes). */
typedef struct zkall_image_header {
  uint32_t header_no;   /*  0: file bytes 0..2 */
  int16_t width;        /*  4: pixels */
  int16_t height;       /*  6: pixels */
  char ident[8];        /*  8: the 7 characters of file bytes 4..10, NUL */
  uint8_t header_byte;  /* 16: file byte 3 */
  char coding_type;     /* 17: file byte 15 */
  uint8_t reserved18[2]; /* 18: alignment of the next field; written as 0 */
  int32_t image_length; /* 20: bytes of the coded image */
  int32_t text_length;  /* 24: bytes of the coded-text records */
} zkall_image_header;

/* A coded-text record as decord_text gives it (36 bytes). The numbers lay
 * out a rectangle on the illustration (left, top, right, bottom). */
typedef struct zkall_coded_text {
  uint16_t numbers[4];    /*  0: native byte order */
  uint16_t count;         /*  8: the count byte, widened */
  char text[12];          /* 10: copied unchanged, not terminated */
  uint8_t code;           /* 22 */
  uint8_t reserved[13];   /* 23: never written */
} zkall_coded_text;

/* A rectangle on a drawn illustration in pixels, as reverse_image takes it;
 * a coded text's four numbers have this layout (8 bytes). */
typedef struct zkall_image_rect {
  int16_t left;   /* 0 */
  int16_t top;    /* 2 */
  int16_t right;  /* 4: one past the last column */
  int16_t bottom; /* 6: one past the last row */
} zkall_image_rect;

/* Reads the 21-byte header of the packed image file `input_path` into
 * *header. With a null output_path that is all (0, 201 open failed, 203 the
 * header cannot be read whole). Otherwise it refuses a width outside
 * 1..1616 or a height outside 1..1158 (209), a coding type other than '3'
 * (210), creates the bitmap file output_path (202) and decodes the coded
 * image in pieces of 2048 bytes through a 7168-byte output buffer into a
 * monochrome BMP: 62 bytes of headers (colour 0 white, 1 black), then the
 * rows bottom-up, each padded with 0 bytes to a multiple of 4. Further
 * codes: 20 out of memory; 204 the coded image cannot be read whole or the
 * decoder asks for more after it; 207 writing or closing the bitmap file
 * failed; 208 the decoder cannot start or reports an error (the decoder is
 * released then). Rows the stream yields beyond the header's height are
 * decoded and dropped; rows it does not yield stay white. The bitmap file
 * stays on disk when decoding fails; both files are closed on every path. */
ZKALL_API int32_t ZKALL_CDECL decord_img(const char* input_path, const char* output_path,
                                         zkall_image_header* header);
/* Reads coded-text records from byte 21 + offset of the packed image file
 * `path` into records[0], records[1] ...: 22 bytes per record while the
 * remaining length is above 0 (so a length that is not a multiple of 22
 * reads one record more than it holds whole). 0, or 201 open failed, 205
 * positioning failed, 204 a record cannot be read whole, 206 closing
 * failed; records converted before a failure stay. A length of 0 or less
 * reads nothing. */
ZKALL_API int32_t ZKALL_CDECL decord_text(const char* path, zkall_coded_text* records, int32_t length,
                                          int32_t offset);

/* Copies an illustration out of IMAGEF.DAT (kind 0, block mode, through the
 * root master file of the installed disc in the ccar area's catalog_disc,
 * any drive, insert-disc prompt 700) into the packed image file
 * `output_path`, created or emptied. `location` is 9 characters: the first
 * block (6 digits), then the length in blocks (3 digits), each read like
 * atoi within its width (blanks, a sign, digits up to another character;
 * no digits: 0); a NUL ends the record early. The blocks are copied four at
 * a time, then the remaining 1 to 3; 0 blocks make an empty file. *detail
 * is set to 0 on entry. Results: 0; cdopen's or cdseek's or cdread's result
 * and detail (-1 when the run starts at or past the end of IMAGEF.DAT); 13
 * the output file cannot be created or written (detail: the error number,
 * 28 for a write that stopped short without one; 22 for a null
 * output_path); 20 out of memory; 128 with detail 94 a 4-block read gave
 * fewer blocks (the run passes the end of IMAGEF.DAT), 112 the read of the
 * last blocks gave fewer, 90 a null location or a negative number in it
 * (nothing is opened). What was written before a failure stays in the
 * output file; every file opened is closed on every path. detail may be
 * null. */
ZKALL_API int32_t ZKALL_CDECL make_pack_image_file(const char* output_path, const char* location, int32_t* detail);
/* Inverts the rectangle in the memory device context `memory_dc` (BitBlt,
 * DSTINVERT), copies it from there to the same place in the device context
 * of `window` (GetDC, BitBlt SRCCOPY) and releases that context: ReleaseDC's
 * result (1 released; 0 when the window gave no context). Calling it twice
 * restores the picture. A null rectangle, or one with right <= left or
 * bottom <= top, draws nothing (the window's context is still taken and
 * released); parts outside either picture are clipped away. With a window
 * that gives no context the memory picture is inverted all the same (on
 * Windows a null window is GDI's whole screen). */
ZKALL_API int32_t ZKALL_CDECL reverse_image(void* memory_dc, void* window, const zkall_image_rect* rect);

/* ===================================================================== */
/* Group files                                                             */
/* ===================================================================== */
/* Up to 1000 groups of parts, each a 3-character code, a 60-character name
 * and up to 100 part name codes of 6 characters, kept in two fixed-size
 * files of the installed catalog directory (path kind 1, no disc):
 *   ZKGRPMEI.D  63063 bytes = 1001 records of 63: record 0 holds the number
 *               of groups (16-bit, 0..1000) and zeros; record 1+i the code
 *               (3) and blank-padded name (60) of group i; unused records 0.
 *   ZKGRPPNC.D  600000 bytes = 1000 records of 600: record i the 100 slots
 *               of group i; the codes in use come first and the first slot
 *               beginning with a blank ends them; unused slots and records
 *               are blanks (all zero in a freshly made file).
 * The front end edits them in the group list (an item list of GrpTmpItem,
 * at most 1000, codes unique while groups are added with VBSetGrpCd) and
 * fills list boxes from it: group lines of 70 characters (2 blanks, code,
 * 5 blanks, name) and part lines of 68 (code, 2 blanks, part name).
 * Failures are logged as module "ZKSUBG02" (list and its files) or
 * "ZKSUBG01" (VBRemakeGpFile and the direct readers) and returned. */

/* The payload of a group-list item (663 bytes, no padding). */
typedef struct zkall_grp_tmp_item {
  char code[3];       /*   0: compared as 3 bytes */
  char name[60];      /*   3: blank-padded */
  char pnc[100][6];   /*  63: part name codes; a slot beginning with a blank ends them */
} zkall_grp_tmp_item;
typedef zkall_grp_tmp_item GrpTmpItem;

typedef struct zkall_grp_tmp_node {
  zkall_item link;          /* 0 */
  zkall_grp_tmp_item data;  /* 8|16 */
} zkall_grp_tmp_node;       /* 672|680 */

/* Empties the head without freeing (only for a head that owns nothing); 0. */
ZKALL_API int32_t ZKALL_STDCALL VBInitGrpTmp(void);
/* Frees every group; 0. */
ZKALL_API int32_t ZKALL_STDCALL VBTermGrpTmp(void);
ZKALL_API int16_t ZKALL_STDCALL VBGetGrpNum(void);
/* 1 when a group of that 3-byte code is in the list, else 0. */
ZKALL_API int32_t ZKALL_STDCALL VBCheckGrpCd(const char* code);
/* Renames the group (60 blanks, then the name's bytes, at most 60 of its
 * byte length) or adds it with that name and 100 blank slots: 0; 1 the list
 * holds 1000 groups (nothing logged); 20 out of memory (site 456). */
ZKALL_API int32_t ZKALL_STDCALL VBSetGrpCd(const char* code, zkall_vbstr name);
/* Removes the group if present; 0. */
ZKALL_API int32_t ZKALL_STDCALL VBDelGrpCd(const char* code);
/* Copies the name into the string, at most its byte length and 60, no
 * terminator: 1, or 0 when the group is missing. */
ZKALL_API int32_t ZKALL_STDCALL VBGetGrpName(const char* code, zkall_vbstr name);
/* Adds one group line per group to the box (not emptied first); 0. */
ZKALL_API int32_t ZKALL_STDCALL VBMakeListGrpMei(void* box);
/* Adds one part line per code of the group, the names from the part-name
 * file "HINM"+lang+".DAT" of the current vehicle's disc, or, when *flag is
 * non-zero on entry, of the first installed disc of the current area. *flag
 * becomes 0, or 1 when the group is missing (nothing added). A code the file
 * lacks gets a blank name. 0; 14 no such area or disc (sites 323, 328);
 * cdopen's (344) or cdread's (370) failure. */
ZKALL_API int32_t ZKALL_STDCALL VBMakeListGrpPnc(const char* code, void* box, int16_t* flag);
/* Appends (*slot -1: the first free slot and a line at the end of the box)
 * or replaces (*slot 0..99: that slot, the box's line of that number
 * deleted and the new one inserted there) the part name code `pnc` (up to 6
 * characters before a NUL, blank-padded). The name comes from get_hinmei on
 * the first installed disc of the current area, its status word left in
 * *slot: 1 the code is not in the file, 4 the prompt was cancelled; nothing
 * is stored then. Stored: *slot 0. A full group or another index: *slot -1,
 * nothing stored. 0, or get_hinmei's failure (sites 561 append, 589
 * replace). A missing group: 0, *slot unchanged. */
ZKALL_API int32_t ZKALL_STDCALL VBSetGrpPnc(void* box, const char* code, const char* pnc, int16_t* slot);
/* Removes every selected line of the box and, from the group, the first
 * code equal to the line's first 6 characters (later codes move down, the
 * last slot becomes blanks): 0, or 20 out of memory (site 631). */
ZKALL_API int32_t ZKALL_STDCALL VBDelGrpPnc(void* box, const char* code);
/* Appends the groups of both files to the list (not emptied first) and
 * sets *count to the file's number of groups: 0, or -1 (path), 11, 14, 20
 * (the groups added before a failure stay). A number of groups outside
 * 0..1000 is read as 0 or 1000. */
ZKALL_API int32_t ZKALL_STDCALL VBread_group_file(int16_t* count);
/* Writes the first 1000 groups of the list: ZKGRPPNC.D first, then
 * ZKGRPMEI.D, whose header holds the number written: 0, or -1, 11, 13, 20.
 * A failure after ZKGRPPNC.D was rewritten leaves the pair inconsistent. */
ZKALL_API int32_t ZKALL_STDCALL VBwrite_group_file(void);
/* With at least one megabyte free on the drive of the installed catalog
 * directory, makes each group file that is missing (all zero bytes) and
 * replaces one of 6363 (ZKGRPMEI.D) or 30000 (ZKGRPPNC.D) bytes or less:
 * 0 (also with less space: nothing done); -1 the free space cannot be had;
 * -1 (path), 11, 13. A file whose length cannot be measured is kept rather
 * than risk the user's groups, and one that cannot be deleted stays as it
 * is; both answer 0. */
ZKALL_API int32_t ZKALL_STDCALL VBRemakeGpFile(void);
/* The group of that 3-byte code, or null. */
ZKALL_API zkall_grp_tmp_node* ZKALL_CDECL search_grptmp(const char* code);
/* For the catalog's other programs, reading ZKGRPMEI.D and ZKGRPPNC.D
 * directly. g_mei_f_check: 1 the file holds no groups (its first 4 bytes
 * are zero), 0 it does, -1 it cannot be opened or read, or the path's
 * failure code. */
ZKALL_API int32_t ZKALL_CDECL g_mei_f_check(void);
/* Finds the group and copies its 60-character name: its index 0..999 (the
 * group in record 1 + index). A group index and a failure are kept apart by
 * sign: -1 no such group; a failure is returned negated, below -1: -11 open,
 * -14 read, -20 out of memory, -2 the path cannot be built (each logged with
 * its code as it stands: 11, 14, 20, -1). */
ZKALL_API int32_t ZKALL_CDECL g_mei_f_read(const char* code, char* name);
/* Fills records (room for 100 of 66 bytes: code and 60-character name) with
 * the part names of the group's codes, read on the current vehicle's disc;
 * a code the part-name file lacks leaves its record as it was. 0; -1 no
 * such group, or a group without codes; the failure of finding the group
 * (as g_mei_f_read logs it, returned positive: 11, 14, 20, or -1 for the
 * path); -1 (path), 11, 15, 14 for ZKGRPPNC.D; cdopen's, cdreopen's,
 * cdread's or cdclose's failure. */
ZKALL_API int32_t ZKALL_CDECL g_pnc_f_read(const char* code, char* records);

/* ===================================================================== */
/* Saved lists and the interface program                                   */
/* ===================================================================== */
/* A parts list is saved under a number 1..9999 in a data file "ZKIFnnnn.SAV"
 * of the installed catalog directory (path kind 1, no disc), listed in the
 * master ZKIFSMST.SAV there: 16-byte records, little-endian.
 *   record 0  0 number of saved lists (16-bit, never raised above 9999)
 *             2 next number to give out (16-bit, 1..9999; 0: the first
 *               free entry), 4 zero (12)
 *   record n  0 state: 0 free, 1 saved, 'U' in use by another program, 'D'
 *               deleted; 1 zero (3); 4 date DDMMYY; 10 time HHMMSS
 * A new master is 32 bytes: next number 1, all else zero. A data file
 * begins with the 99-byte vehicle record of set_save_file_vdata; the rest
 * is the front end's. The current saved list is the ctop area's
 * save_list_flag (its number, 0 none) and save_data_handle (its open data
 * file, see "Address fields").
 * These functions log nothing. `error` (may be null) receives the system
 * error number of a failing call, else 0. Streams are the library's own
 * (opaque; FILE-like): use them only with these functions. A failure to
 * open for another reason than a missing file (-1) or denied access (-2)
 * is 11 with its error number; a mode the table below does not list is 11
 * with error 22 and opens nothing. */
ZKALL_API int32_t ZKALL_CDECL make_save_mst_file_name(char* path);
/* Opens the master: mode 1 "rb", 2 "w+b", 3 "r+b". 0; -1 no such file; -2
 * access denied (error 0 in both); 11; the path's failure code with error
 * 3001. */
ZKALL_API int32_t ZKALL_CDECL open_save_mst_file(int16_t mode, void** stream, int32_t* error);
/* Closes *stream and sets it to null: 0 (also for a null stream); 12. */
ZKALL_API int32_t ZKALL_CDECL close_save_mst_file(void** stream, int32_t* error);
/* Creates a new master unless one can be read: 0; -1 the disk is full; 13
 * write (or close) failed; the open results. */
ZKALL_API int32_t ZKALL_CDECL make_save_mst(int32_t* error);
/* Reads the number of saved lists into *count (may be null): 0; -1 no
 * master; -2 access denied; 11; 14 read; 12 close. */
ZKALL_API int32_t ZKALL_CDECL check_save_mst_file_exist(int32_t* count, int32_t* error);
/* As check_save_mst_file_exist, but -1 also when the master counts no
 * saved list (a count of 0 or below). */
ZKALL_API int32_t ZKALL_CDECL check_save_dat_file_exist(int32_t* count, int32_t* error);
/* Gives out the next number (cyclically 1..9999; the entry is overwritten
 * whatever its state) into *number and marks its entry saved with today's
 * date and time: 0; -1; -2; 11; 14 read (also: no free entry before the end
 * of the master when the next number is 0); 15 seek; 13 write or close. A
 * next number outside 0..9999 is taken as 0. */
ZKALL_API int32_t ZKALL_CDECL get_save_no(int32_t* number, int32_t* error);
/* Marks saved list n deleted ('D') and lowers the count; a count of 0 or
 * below is written as 0 (it never wraps); *left (may be null) receives the
 * count written. 0; open results; 14, 15, 13; 12. A number outside 1..9999 names
 * no entry: 15 with error 22, nothing opened. */
ZKALL_API int32_t ZKALL_CDECL deldata_save_mst_file(int32_t number, int32_t* left, int32_t* error);
/* The data file's path for number 0..9999 ("ZKIF0007.SAV"): get_path_name's
 * result; -1 and an empty path for another number. */
ZKALL_API int32_t ZKALL_CDECL make_save_dat_file_name(int32_t number, char* path);
/* Opens data file n: mode 1 "rb"; mode 2 or 3 with sub-mode 1 "r+b" or 2
 * "w+b". With a null stream pointer the stream and n become the current
 * saved list (a previous current stream is closed first). 0; -1; -2; 11;
 * the path's failure code with error 1102. */
ZKALL_API int32_t ZKALL_CDECL open_save_dat_file(int32_t number, int16_t sub_mode, int16_t mode, void** stream,
                                                 int32_t* error);
/* Closes *stream (set to null), or with a null pointer the current saved
 * list's stream, which ends the current saved list: 0; 12. */
ZKALL_API int32_t ZKALL_CDECL close_save_dat_file(void** stream, int32_t* error);
/* Reads or writes exactly `size` bytes: 0; 14 (13); a null stream or a
 * negative size fails with error 9 or 22. */
ZKALL_API int32_t ZKALL_CDECL read_save_dat_file(void* stream, void* buffer, int32_t size, int32_t* error);
ZKALL_API int32_t ZKALL_CDECL write_save_dat_file(void* stream, const void* buffer, int32_t size, int32_t* error);
/* Moves to `offset` from the start; *position (may be null) receives it: 0;
 * 15. */
ZKALL_API int32_t ZKALL_CDECL seek_save_dat_file(void* stream, int32_t offset, int32_t* position, int32_t* error);
/* Deletes data file n: 0; -1 no such file (error 2); 16; the path's failure
 * code with error 1501. */
ZKALL_API int32_t ZKALL_CDECL del_save_dat_file(int32_t number, int32_t* error);
/* 0 when the current saved list has an open data file, else -1. */
ZKALL_API int32_t ZKALL_CDECL check_save_dat_file_handle(void);
/* Turns the current saved list's entry from 'U' back to 1 and ends the
 * current saved list (its number becomes 0; its stream stays open until
 * close_save_dat_file(NULL)). 0 (also without a current list); 11, 15, 14,
 * 13; 13 with error 0 when the master cannot be closed; the path's failure
 * code with error 3001. */
ZKALL_API int32_t ZKALL_CDECL reset_save_mst_flag(int32_t* error);
/* Fills the 99-byte vehicle record from the ccar area:
 *   0 VIN's first 10 (10) | 10 frame number (7), only when the VIN and the
 *   frame number both begin above a blank | 17 vehicle data (15) | 32
 *   catalog code (6) | 38 Ad (6) | 44 frame model (7) | 51 '-' | 52 frame
 *   number (7) | 59 colour (3) | 62 trim (4) | 66 notes (30), or bytes 66-95
 *   of `source` when given | 96 the number as 3 digits (its last three
 *   digits outside 0..999) | zero bytes become blanks. */
ZKALL_API void ZKALL_CDECL set_save_file_vdata(char* record, int32_t number, const char* source);
/* Does nothing. */
ZKALL_API void ZKALL_CDECL set_vjin_file_data(void);
/* The paths of ZKINTF.TMP (path kind 1) and INTF.TMP (kind 0) in an 80-byte
 * buffer: get_path_name's result. */
ZKALL_API int32_t ZKALL_CDECL make_zkintf_tmp_file_name(char* path);
ZKALL_API int32_t ZKALL_CDECL make_intf_tmp_file_name(char* path);
/* Runs the interface program ZKINTF.EXE of the current directory with the
 * command line "ZKINTF.EXE <data file of the current saved list, or @@@@@>
 * <path of ZKINTF.TMP>" and waits for it. Its exit code: 1 with a current
 * saved list sets bytes 96-98 of the data file (through its open stream) to
 * "000": 0, or 15, 14, 13 (14 with error 9 when the stream is not open); 2
 * deletes the current saved list from the master: 999 saved lists are left,
 * 888 none, or deldata_save_mst_file's failure; 2 without a current saved
 * list deletes nothing and answers 999 (lists may be left; nothing was
 * counted). 0, another code, or a program that cannot be started: 0. A path
 * that cannot be built: its code, error 36 (ZKINTF.TMP) or 45 (data file). */
ZKALL_API int32_t ZKALL_CDECL intf_pro(int32_t* error);
/* Splits comma-separated lines. get_next_csv: the field at the start of
 * `line` spans *start..*end (a quoted field without its quotes; *end is -1
 * for an empty first field); returns the address behind the comma that
 * ends it, or null when a NUL or a line feed ends the line. A comma between
 * quotes belongs to the field; a doubled quote inside quotes is a quote.
 * Lines are scanned up to 32767 characters. */
ZKALL_API char* ZKALL_CDECL get_next_csv(char* line, int16_t* start, int16_t* end);
/* Copies source[first..last] to dest (at most `size` bytes, no terminator),
 * a doubled quote copied once; stops early at a NUL. Returns the source
 * index after the last character taken (first when first > last). */
ZKALL_API int16_t ZKALL_CDECL copy_csv_item(const char* source, char* dest, int16_t size, int16_t first,
                                            int16_t last);

#ifdef __cplusplus
}
#endif

#endif /* ZKALL_H */
