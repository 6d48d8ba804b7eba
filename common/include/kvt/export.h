/* Symbol visibility of the shared libraries' C exports. */
#ifndef KVT_EXPORT_H
#define KVT_EXPORT_H

#if defined(KVT_BUILDING_SHARED)
#define KVT_API __attribute__((visibility("default")))
#else
#define KVT_API
#endif

#endif
