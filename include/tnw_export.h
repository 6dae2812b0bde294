// Export macros of the two shared libraries. Each library is built with hidden visibility;
// only the functions declared with its macro appear in its dynamic symbol table.
#pragma once

#ifdef __cplusplus
#define TNW_EXTERN_C extern "C"
#else
#define TNW_EXTERN_C
#endif

#define TNWCONV_API TNW_EXTERN_C __attribute__((visibility("default")))
#define TNWSHEET_API TNW_EXTERN_C __attribute__((visibility("default")))
