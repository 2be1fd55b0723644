// SPDX-License-Identifier: GPL-3.0-or-later

// The system's name lookup behind a resolver that never answers, for one
// kind of name: loaded with LD_PRELOAD, it looks any name ending in
// ".never.test" up for ever, and hands every other name to the system's
// own lookup. A test process cannot make its system's resolver go silent;
// this makes it so for the names the test picks, and for nothing else.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <netdb.h>
#include <stdatomic.h>
#include <string.h>
#include <strings.h>

#include <unistd.h>

typedef int (*Lookup)(const char*, const char*, const struct addrinfo*, struct addrinfo**);

static atomic_int waiting;
static Lookup systemLookup;

// Before any thread of the process can look a name up.
__attribute__((constructor)) static void findSystemLookup(void)
{
    systemLookup = (Lookup)dlsym(RTLD_NEXT, "getaddrinfo");
}

// How many lookups are waiting for ever: a test knows by it that the
// stand-in is loaded at all, and that its request has reached the lookup.
int neverResolveWaiting(void)
{
    return atomic_load(&waiting);
}

static int neverAnswered(const char* name)
{
    static const char suffix[] = ".never.test";
    const size_t suffixLength = sizeof suffix - 1;
    const size_t length = name ? strlen(name) : 0;
    return length > suffixLength && strcasecmp(name + length - suffixLength, suffix) == 0;
}

int getaddrinfo(const char* name, const char* service, const struct addrinfo* hints, struct addrinfo** found)
{
    if (neverAnswered(name)) {
        atomic_fetch_add(&waiting, 1);
        for (;;)
            pause();
    }
    return systemLookup ? systemLookup(name, service, hints, found) : EAI_SYSTEM;
}
