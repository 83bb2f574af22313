/* The version of Tarnwick and of exeprobe, for the code of both editions,
   the console analyser and the resource script. Plain macros, so that the
   resource script can use them too. */
#ifndef TARNWICK_BASE_VERSION_H
#define TARNWICK_BASE_VERSION_H

#define TARNWICK_VERSION_MAJOR 1
/* Shown with two digits: 1.02. */
#define TARNWICK_VERSION_MINOR 2
#define TARNWICK_RELEASE_TAG "beta"
#define TARNWICK_RELEASE_YEAR 1998
#define TARNWICK_MAKER_NAME "Pelmorin"
/* The console analyser came out a year later with the same version. */
#define EXEPROBE_RELEASE_YEAR 1999

#define TARNWICK_TEXT_OF_(x) #x
#define TARNWICK_TEXT_OF(x) TARNWICK_TEXT_OF_(x)

/* "1.02" */
#define TARNWICK_VERSION_TEXT TARNWICK_TEXT_OF(TARNWICK_VERSION_MAJOR) ".0" TARNWICK_TEXT_OF(TARNWICK_VERSION_MINOR)
#define TARNWICK_RELEASE_YEAR_TEXT TARNWICK_TEXT_OF(TARNWICK_RELEASE_YEAR)
/* The four numbers of the version resource: 1, 0, 2, 0. */
#define TARNWICK_VERSION_NUMBERS TARNWICK_VERSION_MAJOR, 0, TARNWICK_VERSION_MINOR, 0
#define TARNWICK_VERSION_NUMBERS_TEXT \
  TARNWICK_TEXT_OF(TARNWICK_VERSION_MAJOR) ", 0, " TARNWICK_TEXT_OF(TARNWICK_VERSION_MINOR) ", 0"

#endif
