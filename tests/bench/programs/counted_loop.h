/* The loop whose instructions the counting plugin's test knows: per iteration, the body's NOPs,
 * a decrement and a branch. */
#define COUNTED_LOOP_BODY 100
#define COUNTED_LOOP_PER_ITERATION (COUNTED_LOOP_BODY + 2)
