#include "fftbackend.h"

#include <fftw3.h>

#include <cstdint>
#include <mutex>
#include <new>
#include <stdexcept>
#include <unordered_map>

namespace NativeDsp::FftBackend {

namespace {

enum class Kind : std::uint8_t { RealForward, RealInverse, ComplexForward, ComplexInverse };

// A plan executes on new arrays only when they share the planning arrays' SIMD alignment, so
// the alignment offsets of both buffers are part of the key.
struct PlanKey
{
    Kind kind;
    std::size_t n;
    int inAlignment;
    int outAlignment;

    bool operator==(const PlanKey &other) const
    {
        return kind == other.kind && n == other.n && inAlignment == other.inAlignment &&
               outAlignment == other.outAlignment;
    }
};

struct PlanKeyHash
{
    std::size_t operator()(const PlanKey &key) const
    {
        return key.n * 1000003u + static_cast<std::size_t>(key.kind) * 131u +
               static_cast<std::size_t>(key.inAlignment) * 7u +
               static_cast<std::size_t>(key.outAlignment);
    }
};

// FFTW memory for planning, offset to reproduce the alignment of the caller's buffer.
class PlanningBuffer
{
public:
    PlanningBuffer(std::size_t bytes, int alignment)
        : m_base(static_cast<unsigned char *>(fftw_malloc(bytes + 64)))
    {
        if (!m_base)
            throw std::bad_alloc();
        m_data = m_base + alignment;
    }
    ~PlanningBuffer() { fftw_free(m_base); }
    PlanningBuffer(const PlanningBuffer &) = delete;
    PlanningBuffer &operator=(const PlanningBuffer &) = delete;

    double *real() { return reinterpret_cast<double *>(m_data); }
    fftw_complex *complex() { return reinterpret_cast<fftw_complex *>(m_data); }

private:
    unsigned char *m_base;
    unsigned char *m_data;
};

fftw_plan makePlan(const PlanKey &key)
{
    const std::size_t complexBins =
        key.kind == Kind::RealForward || key.kind == Kind::RealInverse ? key.n / 2 + 1 : key.n;
    const std::size_t realBytes = key.n * sizeof(double);
    const std::size_t complexBytes = complexBins * sizeof(fftw_complex);
    fftw_iodim64 dim{static_cast<std::ptrdiff_t>(key.n), 1, 1};
    // ESTIMATE plans run as fast as measured ones here and neither touch the arrays.
    const unsigned flags = FFTW_ESTIMATE | FFTW_PRESERVE_INPUT;
    switch (key.kind) {
    case Kind::RealForward: {
        PlanningBuffer in(realBytes, key.inAlignment);
        PlanningBuffer out(complexBytes, key.outAlignment);
        return fftw_plan_guru64_dft_r2c(1, &dim, 0, nullptr, in.real(), out.complex(), flags);
    }
    case Kind::RealInverse: {
        PlanningBuffer in(complexBytes, key.inAlignment);
        PlanningBuffer out(realBytes, key.outAlignment);
        return fftw_plan_guru64_dft_c2r(1, &dim, 0, nullptr, in.complex(), out.real(),
                                        FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
    }
    case Kind::ComplexForward:
    case Kind::ComplexInverse: {
        const int sign = key.kind == Kind::ComplexForward ? FFTW_FORWARD : FFTW_BACKWARD;
        PlanningBuffer in(complexBytes, key.inAlignment);
        PlanningBuffer out(complexBytes, key.outAlignment);
        return fftw_plan_guru64_dft(1, &dim, 0, nullptr, in.complex(), out.complex(), sign, flags);
    }
    }
    return nullptr;
}

// Plans live for the whole process: the cache is never destroyed, so no plan can vanish under
// a thread that is still executing it at exit.
class PlanCache
{
public:
    static PlanCache &instance()
    {
        static PlanCache *cache = new PlanCache;
        return *cache;
    }

    fftw_plan plan(const PlanKey &key)
    {
        // The planner is not reentrant: lookups and planning are serialised.
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_plans.find(key);
        if (found != m_plans.end())
            return found->second;
        fftw_plan created = makePlan(key);
        if (!created)
            throw std::runtime_error("FFT plan creation failed");
        m_plans.emplace(key, created);
        return created;
    }

private:
    std::mutex m_lock;
    std::unordered_map<PlanKey, fftw_plan, PlanKeyHash> m_plans;
};

int alignmentOf(const void *p)
{
    return fftw_alignment_of(static_cast<double *>(const_cast<void *>(p)));
}

// Repeated transforms of one shape on one thread skip the shared cache and its lock.
fftw_plan planFor(Kind kind, std::size_t n, const void *in, const void *out)
{
    const PlanKey key{kind, n, alignmentOf(in), alignmentOf(out)};
    struct Recent
    {
        PlanKey key{Kind::RealForward, 0, 0, 0};
        fftw_plan plan = nullptr;
    };
    thread_local Recent recent[4];
    Recent &slot = recent[static_cast<std::size_t>(kind)];
    if (!slot.plan || !(slot.key == key)) {
        slot.plan = PlanCache::instance().plan(key);
        slot.key = key;
    }
    return slot.plan;
}

} // namespace

void realForward(const double *in, std::complex<double> *out, std::size_t n)
{
    if (n == 0)
        return;
    fftw_execute_dft_r2c(planFor(Kind::RealForward, n, in, out), const_cast<double *>(in),
                         reinterpret_cast<fftw_complex *>(out));
}

void realInverse(std::complex<double> *in, double *out, std::size_t n)
{
    if (n == 0)
        return;
    fftw_execute_dft_c2r(planFor(Kind::RealInverse, n, in, out),
                         reinterpret_cast<fftw_complex *>(in), out);
}

void complexTransform(const std::complex<double> *in, std::complex<double> *out, std::size_t n,
                      bool inverse)
{
    if (n == 0)
        return;
    const Kind kind = inverse ? Kind::ComplexInverse : Kind::ComplexForward;
    auto *source = reinterpret_cast<fftw_complex *>(const_cast<std::complex<double> *>(in));
    fftw_execute_dft(planFor(kind, n, in, out), source, reinterpret_cast<fftw_complex *>(out));
}

PlannedTransform PlannedTransform::realForward(const double *in, std::complex<double> *out,
                                               std::size_t n)
{
    PlannedTransform planned;
    if (n > 0) {
        planned.m_kind = Kind::RealForward;
        planned.m_plan = planFor(FftBackend::Kind::RealForward, n, in, out);
        planned.m_in = const_cast<double *>(in);
        planned.m_out = out;
    }
    return planned;
}

PlannedTransform PlannedTransform::realInverse(std::complex<double> *in, double *out, std::size_t n)
{
    PlannedTransform planned;
    if (n > 0) {
        planned.m_kind = Kind::RealInverse;
        planned.m_plan = planFor(FftBackend::Kind::RealInverse, n, in, out);
        planned.m_in = in;
        planned.m_out = out;
    }
    return planned;
}

PlannedTransform PlannedTransform::complexInverse(const std::complex<double> *in,
                                                  std::complex<double> *out, std::size_t n)
{
    PlannedTransform planned;
    if (n > 0) {
        planned.m_kind = Kind::ComplexInverse;
        planned.m_plan = planFor(FftBackend::Kind::ComplexInverse, n, in, out);
        planned.m_in = const_cast<std::complex<double> *>(in);
        planned.m_out = out;
    }
    return planned;
}

void PlannedTransform::run() const
{
    auto *plan = static_cast<fftw_plan>(m_plan);
    switch (m_kind) {
    case Kind::None:
        break;
    case Kind::RealForward:
        fftw_execute_dft_r2c(plan, static_cast<double *>(m_in), static_cast<fftw_complex *>(m_out));
        break;
    case Kind::RealInverse:
        fftw_execute_dft_c2r(plan, static_cast<fftw_complex *>(m_in), static_cast<double *>(m_out));
        break;
    case Kind::ComplexInverse:
        fftw_execute_dft(plan, static_cast<fftw_complex *>(m_in),
                         static_cast<fftw_complex *>(m_out));
        break;
    }
}

} // namespace NativeDsp::FftBackend
