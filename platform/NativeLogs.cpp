#include "NativeLogs.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>

namespace {

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void quietJack(const char*) {}

} // namespace

void NativeLogs::silence() {
    snd_lib_error_set_handler(quietAlsa);
    jack_set_error_function(quietJack);
    jack_set_info_function(quietJack);
}
