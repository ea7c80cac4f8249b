#include "core/fir_design.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/design_constants.h"
#include "core/design_methods.h"
#include "core/spectrum_fft.h"

namespace tapwright {

namespace {

bool IsOddSymmetry(SymmetryType symmetry) {
    return symmetry == SymmetricOdd || symmetry == AntisymmetricOdd;
}

// 2x * sinc(2*pi*x*t), which is 0 at x = 0 rather than 0/0.
double SincTerm(double x, double t) {
    if (x == 0.0) return 0.0;
    const double a = kTwoPi * x * t;
    return 2.0 * x * (std::sin(a) / a);
}

// 2x * cos(2*pi*x*t) / (2*pi*x*t), whose limit at x = 0 is 1/(pi*t).
double CosqTerm(double x, double t) {
    if (x == 0.0) return 1.0 / (kPi * t);
    const double a = kTwoPi * x * t;
    return 2.0 * x * (std::cos(a) / a);
}

// Ideal differentiator term at the (half-sample) offset t.
double DifferentiatorTerm(double x, double t) {
    const double a = kTwoPi * x * t;
    return (a * std::cos(a) - std::sin(a)) / (kPi * t * t);
}

// Whether the coefficients of a response type are placed as an odd-length filter
// (centre tap and mirror at M + l) or as an even-length one (mirror at M + l - 1).
// Stop band attenuation A (dB) that the Kaiser estimate designs for.
double KaiserAttenuation(double PBrip, double SBrip) {
    const double deltaP = std::pow(10.0, 0.05 * PBrip) - 1.0;
    const double deltaS = std::pow(10.0, 0.05 * SBrip);
    const double delta = deltaS < deltaP ? deltaS : deltaP;
    return std::fabs(-20.0 * std::log10(delta + 1e-9));
}

bool PlacesOdd(ResponseType responseType, SymmetryType symmetry) {
    switch (responseType) {
        case BandStop:
        case Hilbert:
            return true;
        case Differentiator:
            return false;
        default:
            return IsOddSymmetry(symmetry);
    }
}

// Window value w[j] of a filter of length N; methods outside the five windows get 1.
double WindowValue(DesignMethod method, int j, int N, double beta, double i0Beta) {
    switch (method) {
        case Hanning:
            return 0.5 * (1.0 + std::cos(kTwoPi * j / N));
        case Hamming:
            return 0.54 + 0.46 * std::cos(kTwoPi * j / N);
        case Blackman:
            if (N == 1) return 1.0;  // a single tap: no (N - 1) to divide by
            return 0.42 + 0.5 * std::cos(kTwoPi * j / (N - 1)) +
                   0.08 * std::cos(kFourPi * j / (N - 1));
        case Kaiser: {
            if (N == 1) return 1.0;
            const double t = 2.0 * j / (N - 1);
            return CFirDesign::BesselI0(beta * std::sqrt(1.0 - t * t), 20) / i0Beta;
        }
        default:
            return 1.0;
    }
}

void FillWindow(std::vector<double>& window, int count, DesignMethod method, int N, double beta) {
    window.assign(static_cast<std::size_t>(count), 0.0);
    const double i0Beta = method == Kaiser ? CFirDesign::BesselI0(beta, 20) : 1.0;
    for (int j = 0; j < count; ++j) window[j] = WindowValue(method, j, N, beta, i0Beta);
}

// Ideal response times window for l = 1 ... M. `h` holds N zeros; u and v are the
// normalised cutoffs (already rounded to single precision).
void FillCoefficients(std::vector<double>& h, const std::vector<double>& w,
                      ResponseType responseType, SymmetryType symmetry, int N, double u, double v) {
    const int M = N / 2;
    const bool odd = PlacesOdd(responseType, symmetry);
    double sign = 1.0;  // mirror sign
    switch (responseType) {
        case LowPass:
            if (odd) h[M] = static_cast<float>(2.0 * u);
            break;
        case HighPass:
            if (odd) h[M] = 1.0 - 2.0 * u;
            sign = odd ? 1.0 : -1.0;
            break;
        case BandPass:
            if (symmetry == AntisymmetricOdd) {
                h[M] = 0.0;
                sign = -1.0;
            } else if (odd) {
                h[M] = 2.0 * (v - u);
            }
            break;
        case BandStop:
            h[M] = 1.0 - 2.0 * (v - u);
            break;
        case Differentiator:
            sign = -1.0;
            break;
        case Hilbert:
            h[M] = 0.0;
            sign = -1.0;
            break;
        default:
            return;
    }
    for (int l = 1; l <= M; ++l) {
        const double t = odd ? l : l - 0.5;  // distance from the centre
        const double wl = odd ? w[l] : w[l - 1];
        double value = 0.0;
        switch (responseType) {
            case LowPass:
                value = SincTerm(u, t) * wl;
                break;
            case HighPass:
                value = odd ? -SincTerm(u, t) * wl : CosqTerm(u, t) * wl;
                break;
            case BandPass:
                if (symmetry == AntisymmetricOdd) {
                    value = (CosqTerm(u, t) - CosqTerm(v, t)) * wl;
                } else {
                    value = (SincTerm(v, t) - SincTerm(u, t)) * wl;
                }
                break;
            case BandStop:
                value = (SincTerm(u, t) - SincTerm(v, t)) * wl;
                break;
            case Differentiator:
                value = (DifferentiatorTerm(v, t) - DifferentiatorTerm(u, t)) * wl;
                break;
            case Hilbert: {
                // The ideal response is exactly 0 at even distances; sin(pi/2 * l) of the
                // 11-digit pi would leave about 1e-26 there, and hardware wants true zeros
                // to drop those multipliers. Both taps are +0.
                if (l % 2 == 0) {
                    h[M - l] = 0.0;
                    h[M + l] = 0.0;
                    continue;
                }
                const double s = std::sin(kHalfPi * l);
                value = kTwoOverPi * (s * s) / l * wl;
                break;
            }
            default:
                break;
        }
        h[M - l] = value;
        h[odd ? M + l : M + l - 1] = sign * value;
    }
}

}  // namespace

const char* ProgressTextString(ProgressText text) {
    static constexpr const char* kTexts[kProgressTextCount] = {
        " Processing ......... ", " Processing ......... 25% completed",
        " Processing ......... 50% completed", " Processing ......... 75% completed"};
    return kTexts[static_cast<int>(text)];
}

double CFirDesign::BesselI0(double x, int terms) {
    // Each term ((x/2)^k / k!)^2 is the one before times (x/2)^2 / k^2.
    static const std::array<double, 32> kInverseSquares = [] {
        std::array<double, 32> inverse{};
        for (std::size_t k = 1; k < inverse.size(); ++k) {
            inverse[k] = 1.0 / (static_cast<double>(k) * static_cast<double>(k));
        }
        return inverse;
    }();
    const double quarterSquare = (x / 2.0) * (x / 2.0);
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < terms; ++k) {
        const double inverse = static_cast<std::size_t>(k) < kInverseSquares.size()
                                   ? kInverseSquares[k]
                                   : 1.0 / (static_cast<double>(k) * static_cast<double>(k));
        term *= quarterSquare * inverse;
        sum += term;
    }
    return sum;
}

DesignResult CFirDesign::DesignWindow(ResponseType responseType, DesignMethod method, float f1,
                                      float f2, float Fs, int N, int K, double beta,
                                      SymmetryType symmetry) {
    // A length whose parity contradicts the placement of the response type would
    // leave a coefficient unset or write past the end.
    if (N < 1 || N > kMaxTaps || K < 2 || !(Fs > 0.0f) || symmetry < 0 ||
        symmetry >= kSymmetryTypeCount || PlacesOdd(responseType, symmetry) != (N % 2 == 1)) {
        return {};
    }
    this->responseType = responseType;
    length = N;
    const int M = N / 2;
    const int W = IsOddSymmetry(symmetry) ? M + 1 : M;
    // Odd placements read w[M]; the window always covers what the coefficients read.
    FillWindow(window, PlacesOdd(responseType, symmetry) ? M + 1 : W, method, N, beta);
    const float u = f1 / Fs;
    const float v = f2 / Fs;
    coeffs.assign(static_cast<std::size_t>(N), 0.0);
    FillCoefficients(coeffs, window, responseType, symmetry, N, u, v);
    if (!EvaluateResponse(K, f1, 0.0f, symmetry)) return {};
    return {DesignStatus::Designed, N};
}

long long CFirDesign::EstimateWindowLength(ResponseType responseType, DesignMethod method, float Tw,
                                           float Fs, int N, double PBrip, double SBrip) {
    if (responseType == Differentiator || responseType == Hilbert) return N;
    const float df = Tw / Fs;
    const DesignMethodInfo* info = MethodInfo(method);
    if (info == nullptr || info->family != DesignFamily::Window) return N;
    double quotient = 0.0;
    if (method == Kaiser) {
        const double A = KaiserAttenuation(PBrip, SBrip);
        quotient = std::fabs((A - 7.95) / (14.36 * df));
    } else {
        quotient = info->lengthRule / df;
    }
    if (!(df > 0.0f) || !(quotient < 1e15)) return std::numeric_limits<long long>::max();
    long long length = static_cast<long long>(quotient);
    if (length % 2 == 0) length += 1;
    // A transition as wide as the band or a ripple that asks for no attenuation would
    // give a single tap, which filters nothing: no design is shorter than 3 taps.
    return std::max<long long>(length, kMinTaps);
}

DesignResult CFirDesign::DesignWindowAuto(ResponseType responseType, DesignMethod method, float f1,
                                          float f2, float Tw, float Fs, int N, int K, double PBrip,
                                          double SBrip, double beta, SymmetryType symmetry) {
    if (responseType == Differentiator || responseType == Hilbert) {
        return DesignWindow(responseType, method, f1, f2, Fs, N, K, beta, symmetry);
    }
    if (!(Fs > 0.0f) || !(Tw > 0.0f) || K < 2) return {};
    const long long estimate = EstimateWindowLength(responseType, method, Tw, Fs, N, PBrip, SBrip);
    if (estimate < 1 || estimate > kMaxTaps) return {};
    N = static_cast<int>(estimate);
    if (N % 2 == 0) return {};  // a non-window method with an even length passed in

    this->responseType = responseType;
    float u = 0.0f;
    float v = 0.0f;
    if (responseType == LowPass || responseType == HighPass) {
        u = (f1 + Tw / 2.0f) / Fs;
        v = (f2 - Tw / 2.0f) / Fs;
    } else {
        u = (f1 - Tw / 2.0f) / Fs;
        v = (f2 + Tw / 2.0f) / Fs;
    }
    double kaiserBeta = beta;
    if (method == Kaiser) {
        const double A = KaiserAttenuation(PBrip, SBrip);
        if (A <= 21.0) {
            kaiserBeta = 4.0;
        } else if (A >= 50.0) {
            kaiserBeta = 0.1102 * (A - 8.7);
        } else {
            kaiserBeta = 0.5842 * std::pow(A - 21.0, 0.4) + 0.07886 * (A - 21.0);
        }
        if (kaiserBeta < 4.0) kaiserBeta = 4.0;
        if (kaiserBeta > 9.0) kaiserBeta = 9.0;
    }
    length = N;
    const int M = N / 2;
    coeffs.assign(static_cast<std::size_t>(N), 0.0);
    FillWindow(window, M + 1, method, N, kaiserBeta);
    FillCoefficients(coeffs, window, responseType, SymmetricOdd, N, u, v);
    EvaluateResponse(K, f1, Tw, SymmetricOdd);
    return {DesignStatus::Designed, N};
}

void CFirDesign::ForceZeros(SymmetryType symmetry, std::initializer_list<int> atHalfRate,
                            std::initializer_list<int> atZeroRate, double floor) {
    const double floorDb = 20.0 * std::log10(0.0 + floor);
    if (symmetry == SymmetricEven || symmetry == AntisymmetricOdd) {
        for (int i : atHalfRate) {
            magnitude[i] = 0.0;
            magnitudeDb[i] = floorDb;
        }
    }
    if (symmetry == AntisymmetricEven || symmetry == AntisymmetricOdd) {
        for (int i : atZeroRate) {
            magnitude[i] = 0.0;
            magnitudeDb[i] = floorDb;
        }
    }
}

bool CFirDesign::EvaluateResponse(int K, float f1, float transition, SymmetryType symmetry) {
    if (K < 2) return false;
    passEdge = f1;
    stopEdge = static_cast<double>(f1) + static_cast<double>(transition);
    pointCount = K;

    spectrum = FoldedSpectrum(coeffs.data(), static_cast<int>(coeffs.size()), K);
    magnitude.assign(static_cast<std::size_t>(K), 0.0);
    magnitudeDb.assign(static_cast<std::size_t>(K), 0.0);
    for (int i = 0; i < K; ++i) {
        const double re = spectrum[i].real();
        const double im = spectrum[i].imag();
        magnitude[i] = std::sqrt(re * re + im * im);
        magnitudeDb[i] = 20.0 * std::log10(magnitude[i]);
    }

    const int H = K / 2;
    ForceZeros(symmetry, {H - 1, H}, {0, K - 1}, 1e-8);

    if (responseType == LowPass) {
        int i = 0;
        while (i < H + 1 && magnitudeDb[i] >= -3.0) ++i;
        passBegin = 0;
        passEnd = i;
        stopBegin = i;
        stopEnd = H + 1;
    } else if (responseType == HighPass) {
        int i = H;
        while (i >= 0 && magnitudeDb[i] >= -3.0) --i;
        passBegin = i;
        passEnd = H + 1;
        stopBegin = 0;
        stopEnd = i;
    }
    return true;
}

}  // namespace tapwright
