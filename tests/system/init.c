/* /init of the system test's machine: loads the modules in /m (in the order of their names),
 * mounts the host's root read-only over 9p with a RAM overlay on top, switches to it and runs
 * the script named by rvrun= on the kernel's command line; powers off when the script ends.
 * Built static: the initramfs holds nothing else. */
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/reboot.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

static void say(const char* what) {
    fprintf(stderr, "rv-init: %s\n", what);
}

static int load_modules(void) {
    struct dirent** names = NULL;
    const int n = scandir("/m", &names, NULL, alphasort);
    for (int i = 0; i < n; ++i) {
        char path[512];
        snprintf(path, sizeof path, "/m/%s", names[i]->d_name);
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (names[i]->d_name[0] != '.' && fd >= 0 && syscall(SYS_finit_module, fd, "", 0) != 0) {
            fprintf(stderr, "rv-init: %s: %s\n", path, strerror(errno));
        }
        if (fd >= 0) {
            close(fd);
        }
        free(names[i]);
    }
    free(names);
    return n;
}

static int mount_root(void) {
    mkdir("/lower", 0755);
    mkdir("/rw", 0755);
    mkdir("/new", 0755);
    if (mount("host", "/lower", "9p", MS_RDONLY,
              "trans=virtio,version=9p2000.L,msize=524288,cache=loose") != 0) {
        return -1;
    }
    if (mount("rw", "/rw", "tmpfs", 0, "mode=0755") != 0) {
        return -1;
    }
    mkdir("/rw/upper", 0755);
    mkdir("/rw/work", 0755);
    if (mount("overlay", "/new", "overlay", 0,
              "lowerdir=/lower,upperdir=/rw/upper,workdir=/rw/work") != 0) {
        return -1;
    }
    if (chdir("/new") != 0 || mount(".", "/", NULL, MS_MOVE, NULL) != 0 || chroot(".") != 0 ||
        chdir("/") != 0) {
        return -1;
    }
    /* The host's own /proc, /sys, /dev and /run are not this machine's. /tmp stays the host's
       under the overlay (a checkout or a build may lie there); what the machine writes there
       stays in its memory. */
    mount("proc", "/proc", "proc", 0, NULL);
    mount("sysfs", "/sys", "sysfs", 0, NULL);
    mount("dev", "/dev", "devtmpfs", 0, NULL);
    mkdir("/dev/pts", 0755);
    mount("devpts", "/dev/pts", "devpts", 0, "ptmxmode=0666");
    mount("run", "/run", "tmpfs", 0, "mode=0755");
    return 0;
}

int main(void) {
    say("started");
    load_modules();
    const char* script = getenv("rvrun");
    if (mount_root() != 0 || !script) {
        perror("rv-init: the host's root");
    } else {
        const pid_t child = fork();
        if (child == 0) {
            setsid();
            execl("/bin/bash", "bash", script, (char*)NULL);
            perror("rv-init: bash");
            _exit(127);
        }
        /* PID 1 reaps every orphan until the script ends. */
        for (pid_t pid = 0; pid != child;) {
            int status = 0;
            pid = wait(&status);
            if (pid < 0) {
                break;
            }
        }
    }
    sync();
    reboot(RB_POWER_OFF);
    return 0;
}
