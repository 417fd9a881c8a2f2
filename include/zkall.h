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
 *
 * Records that callers read at fixed offsets (the common areas) are declared
 * here as packed structures; their layout is an interface.
 *
 * On Linux the library is libzkall.so and every function below is exported
 * under its plain name. The text utility memmem is exported as "memmem" in the
 * version node ZKALL_1.0 (so the C library's memmem keeps serving every other
 * caller in the process); C and C++ code that includes <string.h> calls it
 * through its second name zkall_memmem.
 */
#ifndef ZKALL_H
#define ZKALL_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  define ZKALL_STDCALL __stdcall
#  define ZKALL_CDECL __cdecl
#  if defined(ZKALL_BUILDING_LIBRARY)
#    define ZKALL_API __declspec(dllexport)
#  elif defined(ZKALL_STATIC_LINK)
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

/* ===================================================================== */
/* Configuration and path names                                            */
/* ===================================================================== */

/* ===================================================================== */
/* Error log                                                               */
/* ===================================================================== */

/* ===================================================================== */
/* File handles, date and time                                             */
/* ===================================================================== */

/* ===================================================================== */
/* Text utilities                                                          */
/* ===================================================================== */

/* ===================================================================== */
/* Illustration decoder                                                    */
/* ===================================================================== */

#ifdef __cplusplus
}
#endif

#endif /* ZKALL_H */
