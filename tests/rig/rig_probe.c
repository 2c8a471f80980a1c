/* A program that only says it ran: built 32-bit, the test rig must refuse
   it, since wine64 would report success without running it. */
#include <stdio.h>

int main(void) {
  puts("rig probe ran");
  return 0;
}
