// Test helper: a MIDI source in a process of its own, as a controller would be.
//   midi_sender <client name> <port name>
// Opens the JACK output "<client name>:<port name>", prints "ready", then sends each line of standard
// input as one message of hexadecimal bytes ("b0 08 7f"), and ends when its input is closed, which is
// also how a source vanishes. An RtMidi error ends it before "ready".
#include <RtMidi.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    RtMidiOut output(RtMidi::UNIX_JACK, argv[1]);
    output.openVirtualPort(argv[2]);
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream bytes(line);
        std::vector<unsigned char> message;
        for (unsigned int byte = 0; bytes >> std::hex >> byte;)
            message.push_back(static_cast<unsigned char>(byte));
        output.sendMessage(&message);
    }
    return 0;
}
