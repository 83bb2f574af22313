/* Texts of the main dialog that both editions show: the banner template,
   filled with the version (1, 2), the release tag, the maker's name and the
   year, and the backup-count line. Plain macros, so that the resource
   script can use them too. */
#ifndef TARNWICK_UI_DIALOG_TEXTS_H
#define TARNWICK_UI_DIALOG_TEXTS_H

#define TARNWICK_BANNER_TEMPLATE                                                  \
  "Tarnwick32 Ver. %d.%.2d %s - Copyright (c) %s, %d\n"                           \
  "This program searches your system directory for unused dlls very carefully. " \
  "It analyses even dynamically loaded dlls."

#define TARNWICK_BACKUP_COUNT_TEMPLATE "Currently there are %d dlls are backuped in the %s directory."

#endif
