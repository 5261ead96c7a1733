/* Numeric ids of the program's pictures, shared by art.rc and the code.
   The export type bitmaps are named resources: "XTHTML" ... "XTCLIPBOARD". */
#ifndef VX_RESOURCE_IDS_H
#define VX_RESOURCE_IDS_H

/* Program and tray icon: 16, 24, 32 and 48 pixels. The lowest icon id, so
   Explorer shows it for the file. */
#define IDI_VXDEBUGGER 1

/* Image-list strips: 32-bit bitmaps with alpha, images side by side. */
#define IDB_DEBUGIMAGES 200 /* 32 images of 16x16: DebugImages */
#define IDB_SIDE_LARGE 201  /* 38 images of 32x32: Image_Side_Large */
#define IDB_SIDE_SMALL 202  /* 38 images of 16x16: Image_Side_Small */
#define VX_DEBUGIMAGES_COUNT 32
#define VX_SIDE_IMAGES_COUNT 38

/* Raw pictures (RCDATA), decoded with GDI+. */
#define IDR_SPLASH_JPEG 210 /* 499x350 */
#define IDR_ABOUT_GIF 211   /* 114x41, animated */

#endif
