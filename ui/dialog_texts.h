/* Texts of the main dialog that both editions show: the banner template,
   filled with the version (1, 2), the release tag, the maker's name and the
   year, and the backup-count line. Plain macros, so that the resource
   script can use them too. */
#ifndef TARNWICK_UI_DIALOG_TEXTS_H
#define TARNWICK_UI_DIALOG_TEXTS_H

#define TARNWICK_BANNER_TEMPLATE                                                      \
  "Tarnwick 32 ver %d.%.2d %s - (c) %s %d. "                                         \
  "This application searches the system directory for libraries that nothing uses " \
  "any more. It works very carefully and analyses even dynamically loaded ones."

#define TARNWICK_BACKUP_COUNT_TEMPLATE "Currently there are %d dlls are backuped in the %s directory."

#endif
