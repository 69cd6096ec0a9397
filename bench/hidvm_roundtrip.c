/* The reference for HidCommand's round trip: the least a C program does for
 * the same exchange with the instrument through hidapi. hid_write of the
 * 65-byte report, then non-blocking hid_read with a 1 ms sleep after each
 * empty read, at most 250 of them, as HidCommand polls.
 *
 *   hidvm_roundtrip COUNT   prints "median_us mean_us" of COUNT round trips
 */
#include <hidapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now_us(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

static void sleep_1ms(void) {
  struct timespec d = {0, 1000000L};
  while (nanosleep(&d, &d) != 0) {
  }
}

static int compare(const void *a, const void *b) {
  double x = *(const double *)a, y = *(const double *)b;
  return (x > y) - (x < y);
}

int main(int argc, char **argv) {
  int count = argc > 1 ? atoi(argv[1]) : 200;
  if (count <= 0 || count > 100000) {
    fprintf(stderr, "usage: hidvm_roundtrip COUNT\n");
    return 2;
  }
  hid_device *device = hid_open(0x04D8, 0x003F, NULL);
  if (device == NULL) {
    fprintf(stderr, "hidvm_roundtrip: cannot open the instrument\n");
    return 1;
  }
  double *times = calloc((size_t)count, sizeof *times);
  unsigned char buffer[256];
  double total = 0;
  for (int i = 0; i < count; ++i) {
    memset(buffer, 0, sizeof buffer);
    buffer[1] = 'E';
    double start = now_us();
    if (hid_write(device, buffer, 65) < 0) {
      fprintf(stderr, "hidvm_roundtrip: write failed\n");
      return 1;
    }
    hid_set_nonblocking(device, 1);
    int result = 0;
    for (int polls = 0; result == 0 && polls < 250; ++polls) {
      result = hid_read(device, buffer, sizeof buffer);
      if (result != 0) break;
      sleep_1ms();
    }
    times[i] = now_us() - start;
    total += times[i];
    if (result <= 0) {
      fprintf(stderr, "hidvm_roundtrip: no reply (%d)\n", result);
      return 1;
    }
  }
  qsort(times, (size_t)count, sizeof *times, compare);
  printf("%.0f %.0f\n", times[count / 2], total / count);
  hid_close(device);
  free(times);
  return 0;
}
