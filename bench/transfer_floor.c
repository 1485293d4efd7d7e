/* The transfer floor of a collection: the same CIM-XML requests a client
 * sends, posted over one kept-alive HTTPS connection with libcurl, and the
 * response bodies thrown away, so a client's CPU time can be read against
 * what moving the bytes (TLS, HTTP) costs at the least.
 *
 *   transfer_floor URL USER PASSWORD MANIFEST
 *
 * URL is the service address ("https://127.0.0.1:5989/cimom"); each MANIFEST
 * line is "METHOD<TAB>NAMESPACE<TAB>FILE", FILE holding one request body.
 * The headers are those of a CIM-XML method call; the certificate is not
 * verified. Prints "bytes=N requests=N connections=N" and exits 1 when a
 * request fails or is not answered with 200. */
#include <curl/curl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static curl_off_t received;

static size_t discardBody(char* data, size_t size, size_t count, void* user) {
  (void)data;
  (void)user;
  received += (curl_off_t)(size * count);
  return size * count;
}

/* The whole file in a heap block (*size bytes), or NULL. */
static char* readFile(const char* path, long* size) {
  FILE* file = fopen(path, "rb");
  if (file == NULL) return NULL;
  char* body = NULL;
  if (fseek(file, 0, SEEK_END) == 0 && (*size = ftell(file)) >= 0 &&
      fseek(file, 0, SEEK_SET) == 0) {
    body = malloc((size_t)*size + 1);
    if (body != NULL && fread(body, 1, (size_t)*size, file) != (size_t)*size) {
      free(body);
      body = NULL;
    }
  }
  fclose(file);
  return body;
}

/* Posts one request; returns 0 on a 200 answer. */
static int post(CURL* curl, const char* method, const char* nameSpace, const char* bodyPath) {
  long size = 0;
  char* body = readFile(bodyPath, &size);
  if (body == NULL) {
    fprintf(stderr, "transfer_floor: cannot read %s\n", bodyPath);
    return 1;
  }
  char methodField[128];
  char objectField[256];
  snprintf(methodField, sizeof methodField, "CIMMethod: %s", method);
  snprintf(objectField, sizeof objectField, "CIMObject: %s", nameSpace);
  struct curl_slist* headers = NULL;
  const char* fields[] = {"Content-Type: application/xml; charset=\"utf-8\"",
                          "CIMProtocolVersion: 1.0",
                          "CIMOperation: MethodCall",
                          methodField,
                          objectField,
                          "TE: trailers",
                          "Expect:"};
  for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
    headers = curl_slist_append(headers, fields[i]);
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t)size);
  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, NULL);
  curl_slist_free_all(headers);
  free(body);
  if (result != CURLE_OK || status != 200) {
    fprintf(stderr, "transfer_floor: %s %s: %s, HTTP %ld\n", method, bodyPath,
            curl_easy_strerror(result), status);
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: transfer_floor URL USER PASSWORD MANIFEST\n");
    return 2;
  }
  FILE* manifest = fopen(argv[4], "r");
  if (manifest == NULL) {
    fprintf(stderr, "transfer_floor: cannot open %s\n", argv[4]);
    return 1;
  }
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, argv[1]);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_USERNAME, argv[2]);
  curl_easy_setopt(curl, CURLOPT_PASSWORD, argv[3]);
  curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardBody);

  char line[4096];
  int requests = 0;
  long connections = 0;
  int failed = 0;
  while (!failed && fgets(line, sizeof line, manifest) != NULL) {
    line[strcspn(line, "\r\n")] = '\0';
    char* method = strtok(line, "\t");
    char* nameSpace = strtok(NULL, "\t");
    char* path = strtok(NULL, "\t");
    if (method == NULL || nameSpace == NULL || path == NULL) continue;
    failed = post(curl, method, nameSpace, path);
    long opened = 0;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &opened);
    connections += opened;
    ++requests;
  }
  fclose(manifest);
  curl_easy_cleanup(curl);
  curl_global_cleanup();
  if (failed) return 1;
  printf("bytes=%lld requests=%d connections=%ld\n", (long long)received, requests, connections);
  return 0;
}
