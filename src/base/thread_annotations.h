#ifndef SESSION_STATS_BASE_THREAD_ANNOTATIONS_H_
#define SESSION_STATS_BASE_THREAD_ANNOTATIONS_H_

// Clang's thread safety attributes, so that a clang build with
// -Wthread-safety proves at compile time that guarded state is only touched
// with its mutex held. Other compilers see nothing.

#if defined(__clang__)
#define SESSION_STATS_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define SESSION_STATS_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) SESSION_STATS_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY SESSION_STATS_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) SESSION_STATS_THREAD_ANNOTATION(guarded_by(x))
#define REQUIRES(...) \
  SESSION_STATS_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) \
  SESSION_STATS_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) \
  SESSION_STATS_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) \
  SESSION_STATS_THREAD_ANNOTATION(release_capability(__VA_ARGS__))

#endif  // SESSION_STATS_BASE_THREAD_ANNOTATIONS_H_
