/*
 * A stand-in for the port I/O driver, for machines without a parallel port (and for Wine):
 * a kernel-mode driver that creates the device \Device\ZLPORTIO with its link
 * \DosDevices\ZLPORTIO and answers the port I/O client's two requests from a model of one
 * parallel port at 888 with a loopback plug:
 *   Strobe -> Select, D0 -> Error, Init -> Ack, Select-in -> Busy, AutoFeed -> PaperEnd.
 * Every other address reads 0xFF and ignores writes, like an empty bus.
 *
 * Requests (buffered): a 12-byte request {port, width code, value}, little-endian; a read
 * answers with the value in 4 bytes, zero-extended; width codes 0 byte, 1 word, 2 double word
 * (a wider access touches the consecutive addresses, lowest byte first); any other width reads
 * 0 and writes nothing.
 *
 * Lifetime: the system keeps a driver whose device is still open loaded after its service was
 * stopped, and the port I/O client relies on that (it stops and deletes the service after each
 * tested port and keeps using its handle until it exits). Wine instead unloads a driver at once
 * and cuts its open handles. So while its device is open the stand-in offers no unload routine,
 * which leaves it loaded on a stop, and when the last handle closes it unloads itself; a
 * service deleted meanwhile then goes with it. The unload runs on a system thread started at
 * ZwUnloadDriver itself, so that no code of this image is running when the image goes.
 */
#include <ddk/wdm.h>

#define PORTIO_DEVICE_TYPE 0x80FF
#define IOCTL_PORT_READ ((ULONG)CTL_CODE(PORTIO_DEVICE_TYPE, 1, METHOD_BUFFERED, FILE_ANY_ACCESS))
#define IOCTL_PORT_WRITE ((ULONG)CTL_CODE(PORTIO_DEVICE_TYPE, 2, METHOD_BUFFERED, FILE_ANY_ACCESS))
#define REQUEST_SIZE 12
#define REPLY_SIZE 4

#define MODEL_BASE 888
#define CONTROL_DIRECTION 0x20

static UNICODE_STRING DeviceName = RTL_CONSTANT_STRING(L"\\Device\\ZLPORTIO");
static UNICODE_STRING LinkName = RTL_CONSTANT_STRING(L"\\DosDevices\\ZLPORTIO");

/* The port's registers. The model is touched under its lock only. */
static KSPIN_LOCK ModelLock;
static UCHAR DataLatch;
static UCHAR Control;

static int Bit(UCHAR value, UCHAR mask) { return (value & mask) != 0; }

/* Data pins: the latch while the drivers are on; undriven pins read 1 in input mode. */
static UCHAR DataPins(void) { return Bit(Control, CONTROL_DIRECTION) ? 0xFF : DataLatch; }

static UCHAR StatusRegister(void)
{
    int strobe = !Bit(Control, 0x01), autoFeed = !Bit(Control, 0x02);
    int init = Bit(Control, 0x04), selectIn = !Bit(Control, 0x08);
    int d0 = Bit(DataPins(), 0x01);
    UCHAR s = 0x07;
    if (!selectIn) s |= 0x80; /* Busy, inverted in the register */
    if (init) s |= 0x40;      /* Ack */
    if (autoFeed) s |= 0x20;  /* PaperEnd */
    if (strobe) s |= 0x10;    /* Select */
    if (d0) s |= 0x08;        /* Error */
    return s;
}

static UCHAR ModelRead(ULONG address)
{
    if (address == MODEL_BASE) return DataPins();
    if (address == MODEL_BASE + 1) return StatusRegister();
    if (address == MODEL_BASE + 2) return (UCHAR)(0xC0 | Control);
    return 0xFF;
}

static void ModelWrite(ULONG address, UCHAR value)
{
    if (address == MODEL_BASE)
        DataLatch = value;
    else if (address == MODEL_BASE + 2)
        Control = (UCHAR)(value & 0x3F);
}

static int WidthBytes(LONG width)
{
    switch (width) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 4;
    default: return 0;
    }
}

static ULONG GetLe32(const UCHAR* p)
{
    return (ULONG)p[0] | ((ULONG)p[1] << 8) | ((ULONG)p[2] << 16) | ((ULONG)p[3] << 24);
}

static void PutLe32(UCHAR* p, ULONG v)
{
    p[0] = (UCHAR)v; p[1] = (UCHAR)(v >> 8); p[2] = (UCHAR)(v >> 16); p[3] = (UCHAR)(v >> 24);
}

static ULONG PortRead(ULONG port, LONG width)
{
    ULONG value = 0;
    int n = WidthBytes(width), i;
    KIRQL irql;
    KeAcquireSpinLock(&ModelLock, &irql);
    for (i = 0; i < n; ++i)
        value |= (ULONG)ModelRead((port + i) & 0xFFFF) << (8 * i);
    KeReleaseSpinLock(&ModelLock, irql);
    return value;
}

static void PortWrite(ULONG port, LONG width, ULONG value)
{
    int n = WidthBytes(width), i;
    KIRQL irql;
    KeAcquireSpinLock(&ModelLock, &irql);
    for (i = 0; i < n; ++i)
        ModelWrite((port + i) & 0xFFFF, (UCHAR)(value >> (8 * i)));
    KeReleaseSpinLock(&ModelLock, irql);
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* Open handles of the device, and the service key that unloading names. The key lives outside
 * the image, since the unloading thread still reads it while the image goes (a few bytes per
 * load that are never given back). */
static LONG OpenHandles;
static PDRIVER_OBJECT Driver;
static PUNICODE_STRING ServiceKey;
static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver);

static void UnloadSelf(void)
{
    /* ZwUnloadDriver takes one pointer, as a thread's start routine does. */
    PKSTART_ROUTINE unload = (PKSTART_ROUTINE)(void (*)(void))ZwUnloadDriver;
    HANDLE thread;
    if (NT_SUCCESS(PsCreateSystemThread(&thread, 0, NULL, NULL, NULL, unload, ServiceKey)))
        ZwClose(thread);
}

static NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    (void)device;
    if (stack->MajorFunction == IRP_MJ_CREATE) {
        if (InterlockedIncrement(&OpenHandles) == 1)
            Driver->DriverUnload = NULL;
    } else if (InterlockedDecrement(&OpenHandles) == 0) {
        Driver->DriverUnload = DriverUnload;
        UnloadSelf();
    }
    return Complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI DispatchControl(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR* buffer = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
    ULONG port;
    LONG width;
    (void)device;

    if (code != IOCTL_PORT_READ && code != IOCTL_PORT_WRITE)
        return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    if (buffer == NULL || inSize < REQUEST_SIZE)
        return Complete(irp, STATUS_INVALID_PARAMETER, 0);
    port = GetLe32(buffer);
    width = (LONG)GetLe32(buffer + 4);
    if (code == IOCTL_PORT_WRITE) {
        PortWrite(port, width, GetLe32(buffer + 8));
        return Complete(irp, STATUS_SUCCESS, 0);
    }
    if (outSize < REPLY_SIZE)
        return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    /* The reply overwrites the request in the shared system buffer. */
    PutLe32(buffer, PortRead(port, width));
    return Complete(irp, STATUS_SUCCESS, REPLY_SIZE);
}

static VOID NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    IoDeleteSymbolicLink(&LinkName);
    if (driver->DeviceObject != NULL)
        IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    PDEVICE_OBJECT device = NULL;
    NTSTATUS status;

    KeInitializeSpinLock(&ModelLock);
    DataLatch = 0;
    Control = 0;
    OpenHandles = 0;
    Driver = driver;
    ServiceKey = ExAllocatePool(NonPagedPool, sizeof *ServiceKey + registryPath->Length);
    if (ServiceKey == NULL)
        return STATUS_INSUFFICIENT_RESOURCES;
    ServiceKey->Buffer = (PWCH)(ServiceKey + 1);
    ServiceKey->Length = 0;
    ServiceKey->MaximumLength = registryPath->Length;
    RtlCopyUnicodeString(ServiceKey, registryPath);
    status = IoCreateDevice(driver, 0, &DeviceName, PORTIO_DEVICE_TYPE, 0, FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    status = IoCreateSymbolicLink(&LinkName, &DeviceName);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
