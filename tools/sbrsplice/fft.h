// In-place radix-2 FFT of a power-of-two length (forward, e^-i), double
// precision: spectra of originals and decoded test streams.
#pragma once

#include <complex>
#include <cstddef>
#include <utility>
#include <vector>

inline void Fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / (double)len);
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> t(1, 0);
            for (size_t k = 0; k < len / 2; k++) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                t *= w;
            }
        }
    }
}
