/* Loads the installed library through its public header and counts the
 * seed snippets. */
#include <stdio.h>
#include <textexpander.h>

int main(void) {
    int n = te_snippet_count();
    printf("%d %s\n", n, te_snippet_field(0, "trigger"));
    return n == 3 ? 0 : 1;
}
