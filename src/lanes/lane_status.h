#pragma once

// The 16 status bytes a lane controller reports, kept exactly as received
// (7-bit values, indexed 1..16; element 0 is unused), with the meaning of each
// byte and bit named here once. What is stored is only the bytes: the match
// state and the journal hold them as they came off the line.
//
//     byte  1-3   first row of the lane display: the pins of the player's lane so far
//     byte  4     pins felled by the last throw
//     byte  5, 6  throw counter, ones and tens; above 9 in either: blank (no game)
//     byte  7     lamps of pins 1-7 (bits 0-6)
//     byte  8     lamps of pins 8-9 (bits 0-1), lamps 10-14 (bits 2-6);
//                 lamp 10 lit: the lane has not settled yet
//     byte  9-14  second row of the lane display
//     byte 15     bit 1: counter + 100; bit 2: the dot; bit 3: the second row shows six digits
//     byte 16     not interpreted

#include <array>
#include <cstdint>

namespace kuzelna {

struct LaneStatus {
    std::array<std::uint8_t, 17> bytes{};
    std::uint8_t& operator[](int k) { return bytes[static_cast<std::size_t>(k)]; }
    std::uint8_t operator[](int k) const { return bytes[static_cast<std::size_t>(k)]; }

    // A display digit code that shows nothing (13 and 14 both do).
    static constexpr std::uint8_t kBlankDigit = 13;

    int pins() const { return (*this)[kPinsByte]; }
    bool blank() const { return (*this)[kOnesByte] > 9 || (*this)[kTensByte] > 9; }
    bool plus100() const { return ((*this)[kFlagsByte] & kPlus100Bit) != 0; }
    // The two counter digits as a number, without the +100 bit and without
    // asking whether they are digits at all.
    int counterDigits() const { return 10 * (*this)[kTensByte] + (*this)[kOnesByte]; }
    // The throw counter with its +100 bit, or -1 while it is blank.
    int counter() const { return blank() ? -1 : counterDigits() + (plus100() ? 100 : 0); }
    // No throw is evaluated while the pin-setter still moves.
    bool settled() const { return ((*this)[kLampsHighByte] & kUnsettledBit) == 0; }

    // Lamp 1..14: 1-9 the pins, 10-14 the lane's signal lamps.
    bool lamp(int lamp) const {
        if (lamp < 1 || lamp > 14) return false;
        return lamp <= 7 ? (((*this)[kLampsLowByte] >> (lamp - 1)) & 1) != 0
                         : (((*this)[kLampsHighByte] >> (lamp - 8)) & 1) != 0;
    }
    // Every pin lamp lit: the throw felled all nine.
    bool allNinePinsLit() const {
        return (*this)[kLampsLowByte] == 0x7F && ((*this)[kLampsHighByte] & 0x03) == 0x03;
    }

    // Display digit codes of position 1..6 of the first row (bytes 1-6: the
    // lane's pins so far, the last throw, the counter's ones and tens) and of
    // the second row (bytes 9-14).
    std::uint8_t firstRowDigit(int position) const { return (*this)[position]; }
    std::uint8_t secondRowDigit(int position) const { return (*this)[kSecondRowByte + position - 1]; }
    // The second row shows its positions 4-6 only when this is set.
    bool secondRowShowsSix() const { return ((*this)[kFlagsByte] & kSixDigitsBit) != 0; }
    bool dotShown() const {
        return ((*this)[kFlagsByte] & (kDotBit | kSixDigitsBit)) == (kDotBit | kSixDigitsBit);
    }
    // The first row's three digits read as a number, or -1 when one of them is
    // not a digit.
    int laneTotal() const {
        const LaneStatus& s = *this;
        if (s[1] > 9 || s[2] > 9 || s[3] > 9) return -1;
        return 100 * s[1] + 10 * s[2] + s[3];
    }

    // For a lane's far end (the virtual alley) that builds what it reports.
    void setPins(int pins) { (*this)[kPinsByte] = static_cast<std::uint8_t>(pins); }
    // A counter 0..199: two digits and the +100 bit.
    void setCounter(int counter) {
        const int below100 = counter % 100;
        (*this)[kOnesByte] = static_cast<std::uint8_t>(below100 % 10);
        (*this)[kTensByte] = static_cast<std::uint8_t>(below100 / 10);
        setFlag(kPlus100Bit, counter >= 100);
    }
    void setBlankCounter() { (*this)[kOnesByte] = (*this)[kTensByte] = kBlankDigit; }
    void setSettled(bool settled) {
        std::uint8_t& b = (*this)[kLampsHighByte];
        b = static_cast<std::uint8_t>(settled ? b & ~kUnsettledBit : b | kUnsettledBit);
    }
    // Pins standing as lit lamps: bit 0 = pin 1 .. bit 8 = pin 9. The signal
    // lamps stay as they are.
    void setPinLamps(unsigned pins) {
        (*this)[kLampsLowByte] = static_cast<std::uint8_t>(pins & 0x7F);
        std::uint8_t& high = (*this)[kLampsHighByte];
        high = static_cast<std::uint8_t>((high & ~0x03) | ((pins >> 7) & 0x03));
    }
    void setFirstRowDigit(int position, std::uint8_t code) { (*this)[position] = code; }
    void setSecondRowDigit(int position, std::uint8_t code) { (*this)[kSecondRowByte + position - 1] = code; }

private:
    static constexpr int kPinsByte = 4;
    static constexpr int kOnesByte = 5;
    static constexpr int kTensByte = 6;
    static constexpr int kLampsLowByte = 7;
    static constexpr int kLampsHighByte = 8;
    static constexpr int kSecondRowByte = 9;
    static constexpr int kFlagsByte = 15;
    static constexpr std::uint8_t kUnsettledBit = 0x04; // byte 8: lamp 10
    static constexpr std::uint8_t kPlus100Bit = 0x02;   // byte 15
    static constexpr std::uint8_t kDotBit = 0x04;       // byte 15
    static constexpr std::uint8_t kSixDigitsBit = 0x08; // byte 15

    void setFlag(std::uint8_t bit, bool on) {
        std::uint8_t& b = (*this)[kFlagsByte];
        b = static_cast<std::uint8_t>(on ? b | bit : b & ~bit);
    }
};

} // namespace kuzelna
