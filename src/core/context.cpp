#include "vexolind.h"

context_t *con;
char szAppName[100];
char szTitle[100];
