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

/* "backuped" (and the doubled "are") kept as users have always seen it. */
#define TARNWICK_BACKUP_COUNT_TEMPLATE "Currently there are %d dlls are backuped in the %s directory."

/* The question before a search, in both editions; "analizing" kept as users
   have always seen it. */
#define TARNWICK_SEARCH_QUESTION "Now begin analizing. It may take plenty of time. Do you wish to proceed?"

#endif
