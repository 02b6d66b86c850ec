/* Identifiers of the program's resources, shared by the resource script and
   the C++ code that loads them. Plain defines: the resource compiler reads
   this file too. The language tables (102-105) and the browser database
   (101) are CUSTOM resources numbered as in support/embedded_resources.h. */
#ifndef TOLVARAN_RESOURCE_IDS_H
#define TOLVARAN_RESOURCE_IDS_H

#define TOLVARAN_ICON_APP 1
#define TOLVARAN_BITMAP_BACKGROUND 2

#endif
